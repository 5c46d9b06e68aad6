#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <cmath>
#include <filesystem>
#include <sstream>
#include <variant>

#include "app/program_state.h"
#include "app/tform1.h"
#include "support/window_fixture.h"
#include "widgets/command_grid.h"
#include "widgets/port_number_edit.h"

namespace brantel::test {
namespace {

// The stored value of an empty row: 50 blanks joined by semicolons, quoted by the store
// because it begins and ends with a blank.
std::string EmptyRowLine(int row) {
    std::string value = " ";
    for (int cell = 1; cell < 50; ++cell) {
        value += "; ";
    }
    return "Command" + std::to_string(row) + "=\"" + value + "\"";
}

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    return text;
}

// A first run writes the options section, then the table, in a file of its own making.
TEST(StoredOptions, FirstRunWritesBothSectionsWithTheirKeysInOrder) {
    WindowFixture fixture;
    TForm1& form = fixture.Start();
    ASSERT_EQ(fixture.Log().size(), 1u);
    EXPECT_EQ(fixture.Log()[0].text.rfind("Port COM2: is ", 0), 0u);
    const QRect frame = form.frameGeometry();
    ASSERT_EQ(frame.topLeft(), QPoint(184, 99));
    form.close();
    ASSERT_FALSE(form.isVisible());

    const QSize screen = form.screen()->geometry().size();
    const std::string size =
        "(" + std::to_string(screen.width()) + "x" + std::to_string(screen.height()) + ")";
    const std::string normal =
        "184,99," + std::to_string(frame.right() + 1) + "," + std::to_string(frame.bottom() + 1);
    const int frameWidth = form.geometry().left() - frame.left();
    const int frameHeight = frame.bottom() - form.geometry().bottom();
    const std::string minMax =
        "-1,-1," + std::to_string(-frameWidth) + "," + std::to_string(-frameHeight);
    // The offscreen screen has 96 pixels per inch; under Qt's scaling (the test runs again
    // with QT_SCALE_FACTOR=2) the stored density is still the screen's real one.
    const std::string dpi =
        std::to_string(std::lround(96 * qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble()));
    std::vector<std::string> expected = {"[TForm1]",
                                         "FormVersion=0",
                                         "Flags=0",
                                         "ShowCmd=1",
                                         "PixelsPerInch=" + dpi,
                                         "MinMaxPos" + size + "=" + minMax,
                                         "MinMaxPos=" + minMax,
                                         "NormPos" + size + "=" + normal,
                                         "NormPos=" + normal,
                                         "Visible=0",
                                         "PortNumber_Value=2",
                                         "PortSpeed_Text=9600",
                                         "AddressEdit_Text=50",
                                         "Parameters_Text=",
                                         "",
                                         "[Main]"};
    for (int row = 1; row <= 29; ++row) {
        expected.push_back(EmptyRowLine(row));
    }
    EXPECT_EQ(fixture.IniText(), Lines(expected));
    EXPECT_TRUE(fixture.NewErrors().isEmpty());
}

struct RestoreCase {
    const char* name;
    const char* options;
    std::vector<LoggedLine> lines;
    const char* portNumber;
    const char* speed;
    const char* parameters;
};

TEST(StoredOptions, StartUpRestoresTheValuesAndOpensTheRestoredPort) {
    const RestoreCase cases[] = {
        {"nothing stored", "", {Green("Port COM2: is Opened")}, "2", "9600", ""},
        {"values equal to the designed ones",
         "PortNumber_Value=2\nPortSpeed_Text=9600\nAddressEdit_Text=50\nParameters_Text=\n",
         {Green("Port COM2: is Opened")},
         "2",
         "9600",
         ""},
        {"port 3",
         "PortNumber_Value=3\n",
         {Green("Port COM3: is Opened"), Green("Port COM3: is Closed"),
          Green("Port COM3: is Opened")},
         "3",
         "9600",
         ""},
        {"a half rounds to the even neighbour",
         "PortNumber_Value=2.5\n",
         {Green("Port COM2: is Opened")},
         "2",
         "9600",
         ""},
        {"no number", "PortNumber_Value=two\n", {Green("Port COM2: is Opened")}, "2", "9600", ""},
        {"a speed that is only shown",
         "PortSpeed_Text=fast\n",
         {Green("Port COM2: is Opened")},
         "2",
         "fast",
         ""},
        {"parameters",
         "Parameters_Text=\"N:7 S:ab\"\n",
         {Green("Port COM2: is Opened")},
         "2",
         "9600",
         "N:7 S:ab"},
    };
    for (const RestoreCase& c : cases) {
        SCOPED_TRACE(c.name);
        WindowFixture fixture;
        fixture.WriteIni(std::string("[TForm1]\n") + c.options);
        TForm1& form = fixture.Start();
        EXPECT_EQ(fixture.Log(), c.lines);
        EXPECT_EQ(Named<PortNumberEdit>(form, "PortNumber")->text(), c.portNumber);
        EXPECT_EQ(Named<QComboBox>(form, "PortSpeed")->currentText(), c.speed);
        EXPECT_EQ(Named<QLineEdit>(form, "Parameters")->text(), c.parameters);
        EXPECT_EQ(fixture.State().namedParams.NamedParamCount(),
                  QString(c.parameters).split(' ', Qt::SkipEmptyParts).size());
        EXPECT_TRUE(fixture.State().shell.ready);
        EXPECT_TRUE(fixture.NewErrors().isEmpty());
    }
}

// The INI file turns into a folder while the program runs: no one, root included, can write it.
TEST(StoredOptions, FailedSaveAtCloseKeepsTheWindowOpenUntilAClosingSucceeds) {
    WindowFixture fixture;
    fixture.WriteIni("");
    TForm1& form = fixture.Start();
    Named<CommandGrid>(form, "CmdGrid")->SetCellText(0, 1, "Ping");
    const std::string ports = fixture.IniText();
    std::filesystem::remove(fixture.IniPath());
    std::filesystem::create_directory(fixture.IniPath());

    form.close();

    const QString failure = WindowFixture::Title() + "|Unable to write to " +
                            QString::fromStdString(fixture.IniPath()) + ".";
    EXPECT_EQ(fixture.NewErrors(), QStringList({failure, failure}));
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(fixture.Log(),
              (std::vector{Green("Port COM2: is Opened"), Green("Port COM2: is Closed")}));
    EXPECT_EQ(fixture.State().port.PortHandle(), nullptr);
    EXPECT_EQ(form.StatusText(), "COM-Port Closed");

    std::filesystem::remove(fixture.IniPath());
    SetFileText(fixture.IniPath(), ports);
    form.close();

    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(fixture.NewErrors().size(), 2);
    const std::string ini = fixture.IniText();
    EXPECT_NE(ini.find("\nFormVersion=0\n"), std::string::npos);
    EXPECT_NE(ini.find("\nCommand1=\"Ping; ;"), std::string::npos);
}

// The next run opens the window where the last one left it.
TEST(StoredOptions, PlacementComesBackOnTheNextRun) {
    const QRect moved(150, 120, 700, 500);
    std::string ini;
    {
        WindowFixture fixture;
        fixture.WriteIni("");
        TForm1& form = fixture.Start();
        form.setGeometry(moved);
        ASSERT_TRUE(WaitUntil([&] { return form.geometry() == moved; }));
        form.close();
        ini = fixture.IniText();
    }
    WindowFixture fixture;
    fixture.WriteIni(ini.substr(ini.find("[TForm1]")));
    TForm1& form = fixture.Start();
    EXPECT_EQ(form.geometry(), moved);
    EXPECT_FALSE(form.isMaximized());
}

// Destroyed without a save since the last restore, the window saves once more, as visible.
TEST(StoredOptions, DestructionSavesWhenNothingWasSavedSinceTheRestore) {
    WindowFixture fixture;
    fixture.WriteIni("");
    TForm1& form = fixture.Start();
    Named<QLineEdit>(form, "AddressEdit")->setText("7F");
    fixture.Destroy();
    const std::string ini = fixture.IniText();
    EXPECT_NE(ini.find("\nVisible=1\n"), std::string::npos);
    EXPECT_NE(ini.find("\nAddressEdit_Text=7F\n"), std::string::npos);
    EXPECT_EQ(ini.find("[Main]"), std::string::npos);
}

}  // namespace
}  // namespace brantel::test
