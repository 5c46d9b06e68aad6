#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QSplitter>
#include <QTest>

#include "app/tform1.h"
#include "support/window_fixture.h"
#include "widgets/command_grid.h"

namespace brantel::test {
namespace {

// A left-button drag as the mouse makes it: press, one move with the button held, release.
void Drag(QWidget* widget, QPoint from, QPoint to) {
    QTest::mousePress(widget, Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, to, widget->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, to);
}

// A column dragged wider at its header edge and the splitter dragged down are where the user
// left them at the next start.
TEST(StoredLayout, DraggedColumnAndSplitterComeBackOnTheNextRun) {
    std::string ini;
    {
        WindowFixture fixture;
        fixture.WriteIni("");
        TForm1& form = fixture.Start();
        auto* header = Named<CommandGrid>(form, "CmdGrid")->horizontalHeader();
        const int edge = header->sectionViewportPosition(0) + header->sectionSize(0) - 1;
        Drag(header->viewport(), {edge, 8}, {edge + 60, 8});
        ASSERT_EQ(header->sectionSize(0), 170);
        auto* splitter = Named<QSplitter>(form, "Splitter1");
        ASSERT_EQ(splitter->sizes().value(0), 245);
        Drag(splitter->handle(1), {20, 1}, {20, 56});
        ASSERT_EQ(splitter->sizes().value(0), 300);
        form.close();
        ini = fixture.IniText();
    }
    EXPECT_NE(ini.find("[Layout]\nSplitter=300\nColumns=170,200,200,50,50,50,20,20,"),
              std::string::npos);

    WindowFixture fixture;
    fixture.WriteIni(ini.substr(ini.find("[TForm1]")));
    TForm1& form = fixture.Start();
    EXPECT_EQ(Named<CommandGrid>(form, "CmdGrid")->columnWidth(0), 170);
    EXPECT_EQ(Named<CommandGrid>(form, "CmdGrid")->columnWidth(1), 200);
    EXPECT_EQ(Named<QSplitter>(form, "Splitter1")->sizes().value(0), 300);
    EXPECT_TRUE(fixture.NewErrors().isEmpty());
}

}  // namespace
}  // namespace brantel::test
