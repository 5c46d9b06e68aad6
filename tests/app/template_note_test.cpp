#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTabWidget>
#include <QToolTip>
#include <chrono>
#include <functional>

#include "app/tform1.h"
#include "commands/command_row.h"
#include "support/on_screen.h"
#include "support/window_fixture.h"
#include "widgets/command_grid.h"

namespace brantel::test {
namespace {

using Mark = CommandNote::Mark;

class TemplateNoteTest : public ::testing::Test {
  protected:
    TemplateNoteTest() : form(Started(fixture)), grid(Named<CommandGrid>(form, "CmdGrid")) {
        Named<QTabWidget>(form, "PageControl1")
            ->setCurrentWidget(Named<QWidget>(form, "TabSheet1"));
        EXPECT_TRUE(WaitUntil([this] { return grid->isVisible(); }));
    }

    static TForm1& Started(WindowFixture& fixture) {
        fixture.WriteIni("");
        return fixture.Start();
    }

    QRect Cell(int column, int row) const {
        return grid->visualRect(grid->model()->index(row - 1, column));
    }
    int MarkPixels(int row, Mark mark) const {
        return PixelsOf(OnScreen(*grid->viewport(), Cell(kCommandColumn, row)), MarkColour(mark));
    }
    void Type(const char* control, const char* text) {
        Named<QLineEdit>(form, control)->setText(text);
    }

    WindowFixture fixture;
    TForm1& form;
    CommandGrid* grid;
};

// A row's Command cell explains its template with the window's address, the parameters and the
// row's own variable cells, and follows each of them; hovering sends nothing.
TEST_F(TemplateNoteTest, TooltipAndMarkFollowTheWindowsInputs) {
    grid->SetCellText(kCommandColumn, 2, "A N L CRC");
    grid->setCurrentCell(4, 0);
    const std::size_t logged = fixture.Log().size();
    Hover(*grid->viewport(), Cell(kCommandColumn, 2).center());
    ASSERT_TRUE(QToolTip::isVisible());

    const struct {
        const char* name;
        std::function<void()> change;
        const char* shows;
        Mark mark;
    } steps[] = {
        {"N a variable over an empty cell", [] {}, "error: '' is not a valid integer value",
         Mark::Error},
        {"N a parameter", [this] { Type("Parameters", "N:12"); },
         "frame: 50 31 05 8A 00\nwarning: `L` patches byte 3", Mark::Warning},
        {"another address", [this] { Type("AddressEdit", "7"); }, "frame: 07 31 05 41 00",
         Mark::Warning},
        {"an address that is no hex", [this] { Type("AddressEdit", "ZZ"); },
         "frame: 00 31 05 3A 00\nwarning: the address `ZZ` is not hexadecimal: `A` gives the "
         "byte 00",
         Mark::Warning},
        {"N the row's Var1",
         [this] {
             Type("AddressEdit", "7");
             Type("Parameters", "");
             grid->SetCellText(3, 2, "9");
         },
         "frame: 07 09 04 14\n</pre>", Mark::None},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        step.change();
        EXPECT_TRUE(QToolTip::text().contains(step.shows)) << QToolTip::text().toStdString();
        EXPECT_EQ(MarkPixels(2, Mark::Error) > 0, step.mark == Mark::Error);
        EXPECT_EQ(MarkPixels(2, Mark::Warning) > 0, step.mark == Mark::Warning);
    }
    EXPECT_EQ(fixture.Log().size(), logged);
    EXPECT_EQ(fixture.Device(2).ReadFor(std::chrono::milliseconds(50)), "");
    EXPECT_TRUE(fixture.NewErrors().isEmpty());

    // The address box says it too, and only while its text gives 00.
    auto* address = Named<QLineEdit>(form, "AddressEdit");
    const QColor plain = address->palette().color(QPalette::Base);
    Type("AddressEdit", "");
    EXPECT_EQ(address->toolTip(), "the address is empty: `A` gives the byte 00");
    EXPECT_NE(address->palette().color(QPalette::Base), plain);
    Type("AddressEdit", "5A");
    EXPECT_EQ(address->toolTip(), "");
    EXPECT_EQ(address->palette().color(QPalette::Base), plain);

    Hover(*grid->viewport(), Cell(kCommandColumn, 6).center());
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }));
    EXPECT_EQ(MarkPixels(6, Mark::Error), 0);
}

}  // namespace
}  // namespace brantel::test
