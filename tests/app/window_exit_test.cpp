#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QTest>
#include <functional>

#include "app/program_state.h"
#include "app/tform1.h"
#include "support/window_fixture.h"
#include "widgets/command_grid.h"

namespace brantel::test {
namespace {

bool Holds(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// "E&xit" and its access key close the window by the same road as its close button.
TEST(WindowExit, ExitClosesThroughTheNormalClosePath) {
    const struct {
        const char* name;
        std::function<void(TForm1&)> exit;
    } ways[] = {
        {"menu command", [](TForm1& form) { Named<QAction>(form, "N2")->trigger(); }},
        {"Alt+X", [](TForm1& form) { QTest::keyClick(&form, Qt::Key_X, Qt::AltModifier); }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        WindowFixture fixture;
        fixture.WriteIni("");
        TForm1& form = fixture.Start();
        Named<CommandGrid>(form, "CmdGrid")->SetCellText(0, 1, "Ping");
        way.exit(form);
        ASSERT_TRUE(WaitUntil([&] { return !form.isVisible(); }));

        EXPECT_EQ(fixture.Log(),
                  (std::vector{Green("Port COM2: is Opened"), Green("Port COM2: is Closed")}));
        EXPECT_EQ(form.StatusText(), "COM-Port Closed");
        EXPECT_EQ(fixture.State().port.PortHandle(), nullptr);
        const std::string ini = fixture.IniText();
        EXPECT_TRUE(Holds(ini, "[TForm1]\nFormVersion=0\n"));
        EXPECT_TRUE(Holds(ini, "\nVisible=0\n"));
        EXPECT_TRUE(Holds(ini, "[Main]\nCommand1=\"Ping; ;"));
        EXPECT_TRUE(Holds(ini, "\nCommand29="));
        EXPECT_TRUE(fixture.NewErrors().isEmpty());
    }
}

// Ctrl+S keeps the table as the close would, so a crash afterwards loses no edit.
TEST(WindowExit, SaveOptionsShortcutSavesOptionsAndTableAndClosesNothing) {
    WindowFixture fixture;
    fixture.WriteIni("");
    TForm1& form = fixture.Start();
    Named<QComboBox>(form, "PortSpeed")->setEditText("19200");
    Named<CommandGrid>(form, "CmdGrid")->SetCellText(0, 1, "Ping");
    QTest::keyClick(&form, Qt::Key_S, Qt::ControlModifier);

    const std::string ini = fixture.IniText();
    EXPECT_TRUE(Holds(ini, "\nPortSpeed_Text=19200\n"));
    EXPECT_TRUE(Holds(ini, "[Main]\nCommand1=\"Ping; ;"));
    EXPECT_TRUE(Holds(ini, "\nCommand29="));
    EXPECT_TRUE(form.isVisible());
    EXPECT_NE(fixture.State().port.PortHandle(), nullptr);
}

// Log-off and shut-down keep the options and the command table; the window stays as it is.
TEST(WindowExit, SessionEndSavesOptionsAndTable) {
    WindowFixture fixture;
    fixture.WriteIni("");
    TForm1& form = fixture.Start();
    Named<CommandGrid>(form, "CmdGrid")->SetCellText(0, 1, "Ping");
    form.SaveAtSessionEnd();

    const std::string ini = fixture.IniText();
    EXPECT_TRUE(Holds(ini, "[TForm1]\nFormVersion=0\n"));
    EXPECT_TRUE(Holds(ini, "[Main]\nCommand1=\"Ping; ;"));
    EXPECT_TRUE(form.isVisible());
    EXPECT_NE(fixture.State().port.PortHandle(), nullptr);
    EXPECT_EQ(fixture.Log(), std::vector{Green("Port COM2: is Opened")});
}

}  // namespace
}  // namespace brantel::test
