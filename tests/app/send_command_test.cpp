#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <chrono>
#include <functional>

#include "app/tform1.h"
#include "support/window_fixture.h"
#include "widgets/command_grid.h"

namespace brantel::test {
namespace {

using std::chrono::milliseconds;
using namespace std::string_literals;

// The cursor rests here before each send, so a send shows which row it took.
constexpr int kLastRow = 29;

// A row of the table: Description, Command, then Var1 to Var3.
struct CommandRow {
    const char* description;
    const char* command;
    const char* vars[3];
};

struct SendCase {
    CommandRow row;
    std::string annotation;
    std::string frame;
};

const SendCase kSendCases[] = {
    {{"Read status", "A 03 00 10 L CRC", {"5", "1 0", ""}},
     "// Read status (5,10) :",
     "\x50\x03\x00\x10\x06\x69"s},
    {{"Reset", "A 01 L CRC", {"", "7", ""}}, "// Reset :", "\x50\x01\x04\x55"s},
    {{"", "L CRC", {"", "", ""}}, "//  :", "\x02\x02"s},
    {{"Set mode", "A D CRC", {"$1F", "", "3"}}, "// Set mode ($1F) :", "\x50\x1F\x6F"s},
    // Checks of the catalogue, by frames whose checks are published: a Modbus RTU read of ten
    // registers, XMODEM's check value over "123456789", an NMEA sentence's XOR in hex digits.
    {{"Read registers", "01 03 00 00 00 0A CRC-16/MODBUS", {"", "", ""}},
     "// Read registers :",
     "\x01\x03\x00\x00\x00\x0A\xC5\xCD"s},
    {{"Check value", "31 32 33 34 35 36 37 38 39 CRC-16/XMODEM", {"", "", ""}},
     "// Check value :",
     "123456789\x31\xC3"s},
    {{"Sentence", "24 41 42 2A XOR-8(2..-2):HEX 0D 0A", {"", "", ""}},
     "// Sentence :",
     "$AB*03\r\n"s},
};

std::string HexOf(const std::string& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    for (const unsigned char byte : bytes) {
        hex += {digits[byte >> 4], digits[byte & 15], ' '};
    }
    return hex;
}

class SendCommandTest : public ::testing::Test {
  protected:
    SendCommandTest() : form(Started(fixture)) {
        Named<QTabWidget>(form, "PageControl1")
            ->setCurrentWidget(Named<QWidget>(form, "TabSheet1"));
        EXPECT_TRUE(WaitUntil([this] { return Named<CommandGrid>(form, "CmdGrid")->isVisible(); }));
    }

    static TForm1& Started(WindowFixture& fixture) {
        fixture.WriteIni("");
        return fixture.Start();
    }

    void Fill(int row, const CommandRow& cells) {
        Named<CommandGrid>(form, "CmdGrid")->SetCellText(0, row, cells.description);
        Named<CommandGrid>(form, "CmdGrid")->SetCellText(1, row, cells.command);
        for (int var = 0; var < 3; ++var) {
            Named<CommandGrid>(form, "CmdGrid")->SetCellText(3 + var, row, cells.vars[var]);
        }
    }

    // The first click makes the row current, the second completes the double-click.
    void DoubleClickRow(int row) {
        QWidget* viewport = Named<CommandGrid>(form, "CmdGrid")->viewport();
        const QPoint at =
            Named<CommandGrid>(form, "CmdGrid")
                ->visualRect(Named<CommandGrid>(form, "CmdGrid")->model()->index(row - 1, 0))
                .center();
        QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
    }

    WindowFixture fixture;
    TForm1& form;
};

TEST_F(SendCommandTest, AnnotationThenFrameReachTheLogAndTheDevice) {
    const struct {
        const char* name;
        std::function<void(int row)> send;
    } ways[] = {
        {"Send Cmd",
         [this](int row) {
             Named<CommandGrid>(form, "CmdGrid")->setCurrentCell(row - 1, 2);
             QTest::mouseClick(Named<QPushButton>(form, "SendCmdBtn"), Qt::LeftButton);
         }},
        {"double-click on the row", [this](int row) { DoubleClickRow(row); }},
    };
    for (const auto& way : ways) {
        int row = 1;
        for (const SendCase& c : kSendCases) {
            SCOPED_TRACE(std::string(way.name) + ": " + c.annotation);
            Fill(row, c.row);
            Named<CommandGrid>(form, "CmdGrid")->setCurrentCell(kLastRow - 1, 0);
            const std::size_t before = fixture.Log().size();
            way.send(row);
            EXPECT_EQ(Named<CommandGrid>(form, "CmdGrid")->CurrentRow(), row);
            const std::vector<LoggedLine> log = fixture.Log();
            ASSERT_EQ(log.size(), before + 2);
            EXPECT_EQ(log[before], Teal(c.annotation));
            EXPECT_EQ(log[before + 1], Red(HexOf(c.frame)));
            EXPECT_EQ(fixture.Device(2).Read(c.frame.size()), c.frame);
            ++row;
        }
    }
    EXPECT_TRUE(fixture.NewErrors().isEmpty());
    EXPECT_EQ(fixture.Device(2).ReadFor(milliseconds(50)), "");
}

// After Close every way of sending still logs what was handed over, then says that nothing
// reached the device.
TEST_F(SendCommandTest, SendsOnAClosedPortSayNothingWasSent) {
    Fill(1, {"Status", "A 02 L CRC", {"", "", ""}});
    QTest::mouseClick(Named<QPushButton>(form, "Button6"), Qt::LeftButton);
    Named<QLineEdit>(form, "Edit2")->setText("AT");
    const struct {
        const char* name;
        std::function<void()> send;
        LoggedLine frame;
    } ways[] = {
        {"double-click", [this] { DoubleClickRow(1); }, Red("50 02 04 56 ")},
        {"Send Cmd",
         [this] { QTest::mouseClick(Named<QPushButton>(form, "SendCmdBtn"), Qt::LeftButton); },
         Red("50 02 04 56 ")},
        {"Write",
         [this] { QTest::mouseClick(Named<QPushButton>(form, "Button5"), Qt::LeftButton); },
         Red("41 54 ")},
    };
    for (const auto& way : ways) {
        const std::size_t before = fixture.Log().size();
        way.send();
        const std::vector<LoggedLine> log = fixture.Log();
        ASSERT_GE(log.size(), before + 2) << way.name;
        EXPECT_EQ(std::vector(log.end() - 2, log.end()),
                  (std::vector<LoggedLine>{way.frame, Teal("// not sent: COM2 is closed")}))
            << way.name;
    }
    EXPECT_EQ(fixture.Device(2).ReadFor(milliseconds(50)), "");
}

// An empty row sends its annotation and an empty frame, which puts nothing in the log or on the
// wire and is no failed send, open port or closed.
TEST_F(SendCommandTest, EmptyRowLogsItsAnnotationAndNothingMore) {
    for (const bool open : {true, false}) {
        SCOPED_TRACE(open ? "open" : "closed");
        if (!open) {
            QTest::mouseClick(Named<QPushButton>(form, "Button6"), Qt::LeftButton);
        }
        const std::size_t before = fixture.Log().size();
        DoubleClickRow(7);
        QTest::qWait(300);
        const std::vector<LoggedLine> log = fixture.Log();
        EXPECT_EQ(std::vector(log.begin() + static_cast<std::ptrdiff_t>(before), log.end()),
                  std::vector<LoggedLine>{Teal("//  :")});
    }
    EXPECT_EQ(fixture.Device(2).ReadFor(milliseconds(50)), "");
    EXPECT_TRUE(fixture.NewErrors().isEmpty());
}

// A row the builder refuses is reported in a box, after its annotation, and nothing is sent.
TEST_F(SendCommandTest, FailingRowLeavesTheAnnotationAndSendsNothing) {
    std::string huge;
    for (int i = 0; i < 17; ++i) {
        huge += "H ";
    }
    const struct {
        CommandRow row;
        const char* annotation;
        const char* error;
    } rows[] = {
        {{"Bad", "A 01 D D CRC", {"", "7", ""}}, "// Bad :", "'' is not a valid integer value."},
        {{"Big", huge.c_str(), {"", "", ""}},
         "// Big :",
         "the frame would be longer than 1048576 bytes."},
    };
    Named<QLineEdit>(form, "Parameters")->setText("H:" + QString(65536, 'h'));
    const struct {
        const char* name;
        std::function<void()> send;
    } ways[] = {
        {"Send Cmd",
         [this] {
             Named<CommandGrid>(form, "CmdGrid")->setCurrentCell(2, 0);
             QTest::mouseClick(Named<QPushButton>(form, "SendCmdBtn"), Qt::LeftButton);
         }},
        {"double-click on the row", [this] { DoubleClickRow(3); }},
    };
    for (const auto& row : rows) {
        Fill(3, row.row);
        for (const auto& way : ways) {
            SCOPED_TRACE(std::string(row.annotation) + " " + way.name);
            Named<CommandGrid>(form, "CmdGrid")->setCurrentCell(kLastRow - 1, 0);
            const std::size_t before = fixture.Log().size();
            const qsizetype errorsBefore = fixture.NewErrors().size();
            way.send();
            const std::vector<LoggedLine> log = fixture.Log();
            ASSERT_EQ(log.size(), before + 1);
            EXPECT_EQ(log.back(), Teal(row.annotation));
            EXPECT_EQ(fixture.NewErrors().mid(errorsBefore),
                      QStringList{WindowFixture::Title() + "|" + row.error});
            EXPECT_EQ(fixture.Device(2).ReadFor(milliseconds(50)), "");
        }
    }
}

}  // namespace
}  // namespace brantel::test
