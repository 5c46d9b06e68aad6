#include <gtest/gtest.h>
#include <termios.h>

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include "app/application.h"
#include "app/port_tip.h"
#include "app/ports_dialog.h"
#include "app/program_state.h"
#include "app/tform1.h"
#include "platform/port_address.h"
#include "platform/profile_store.h"
#include "support/scratch_dir.h"
#include "support/window_fixture.h"

namespace brantel::test {
namespace {

TEST(PortTip, NamesTheDeviceTheLineInForceAndWhyItsOpenFailed) {
    const ScratchDir dir;
    const std::string here = dir.File("brantel.ini");
    SetFileText(here, "");
    const std::vector<FoundPort> found = {{"/dev/serial/by-id/usb-FTDI_A1-if00", "FT232R, FTDI"},
                                          {here, "a file that stands for a device"}};
    const PortLine standard;
    const PortLine fast{ParseLineSettings("115200 8E1 RTS/CTS"), ""};
    const PortLine bad{LineSettings{}, "COM2Line: 'fast' is no line settings"};
    const std::string standardWords = "\n9600 8N1, no flow control";
    const struct {
        std::string device;
        PortLine line;
        std::string failure;
        std::string tip;
    } cases[] = {
        {here, standard, "",
         "COM2 is " + here + " (present: a file that stands for a device)" + standardWords},
        {"/dev/ttyS1", fast, "/dev/ttyS1: No such file or directory",
         "COM2 is /dev/ttyS1 (not present now)\n115200 8E1, RTS/CTS flow control\n/dev/ttyS1: No "
         "such file or directory"},
        {dir.File("ttyUSB0"), bad, dir.File("ttyUSB0") + ": Permission denied",
         "COM2 is " + dir.File("ttyUSB0") + " (not present now)" + standardWords +
             "\nCOM2Line: 'fast' is no line settings\n" + dir.File("ttyUSB0") +
             ": permission denied: add the user to the dialout group"},
        {"rfc2217://10.0.0.7:4001", fast, "",
         "COM2 is rfc2217://10.0.0.7:4001 (serial server 10.0.0.7:4001, Telnet RFC 2217)\n115200 "
         "8E1, RTS/CTS flow control"},
        {"tcp://10.0.0.7:4001", fast, "",
         "COM2 is tcp://10.0.0.7:4001 (serial server 10.0.0.7:4001, raw TCP)\nline settings: the "
         "server's own (a raw TCP stream cannot set 115200 8E1 RTS/CTS)"},
        {"tcp://host", standard, "",
         "COM2 is tcp://host (" + std::string(kBadNetworkAddress) + ")" + standardWords},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PortStatusTip(2, c.device, c.line, found, c.failure), c.tip);
    }
}

// The dialog starts from section "Ports", offers the devices found (stable names first, as the
// finder gives them), says which values are there, follows devices as they come and go without
// touching what is typed, and stores what it shows.
TEST(PortsDialog, OffersFoundDevicesAndStoresTheMapping) {
    const ScratchDir dir;
    const std::string ini = dir.File("brantel.ini");
    const std::string device = dir.File("device");
    SetFileText(device, "");
    SetFileText(ini, "[Ports]\nCOM2=" + device + "\nCOM3=/dev/none-here\nCOM4=tcp://h:7\n");
    std::vector<FoundPort> found = {{"/dev/serial/by-id/usb-FTDI_A1-if00", "FT232R"},
                                    {device, "the device, Acme"}};
    PortsDialog dialog(ini, [&] { return found; });
    const auto choice = [&](int number) {
        return dialog.findChild<QComboBox*>(QString("Port%1").arg(number));
    };
    const auto presence = [&](int number) {
        return dialog.findChild<QLabel*>(QString("Presence%1").arg(number))->text();
    };
    EXPECT_EQ(choice(2)->currentText(), QString::fromStdString(device));
    EXPECT_EQ(choice(1)->currentText(), "/dev/ttyS0");
    ASSERT_EQ(choice(3)->count(), 2);
    EXPECT_EQ(choice(3)->itemText(0), "/dev/serial/by-id/usb-FTDI_A1-if00");
    EXPECT_EQ(presence(2), "present: the device, Acme");
    EXPECT_EQ(presence(3), "not present now");
    EXPECT_EQ(presence(4), "serial server h:7, raw TCP");

    choice(3)->setEditText("rfc2217://rack:4001");
    EXPECT_EQ(presence(3), "serial server rack:4001, Telnet RFC 2217");
    found.push_back({"/dev/ttyACM0", "a board that came"});
    dialog.Refresh();
    EXPECT_EQ(choice(3)->count(), 3);
    EXPECT_EQ(choice(3)->currentText(), "rfc2217://rack:4001");

    choice(4)->setEditText("");
    dialog.Store();
    EXPECT_EQ(FileText(ini), "[Ports]\nCOM2=" + device +
                                 "\nCOM3=rfc2217://rack:4001\nCOM4=/dev/ttyS3\nCOM1=/dev/ttyS0\n");
}

// Each port's settings show below its device and are stored only where they are not the
// default or were stored before.
TEST(PortsDialog, EditsAndStoresEachPortsLineSettings) {
    const ScratchDir dir;
    const std::string ini = dir.File("brantel.ini");
    SetFileText(ini, "[Ports]\nCOM3=/dev/ttyS2\nCOM3Line=19200 7o2 xon/xoff\nCOM4Line=9600 8N2\n");
    PortsDialog dialog(ini, [] { return std::vector<FoundPort>{}; });
    const auto choice = [&](const char* name, int number) {
        return dialog.findChild<QComboBox*>(QString(name) + QString::number(number));
    };
    EXPECT_EQ(choice("Speed", 3)->currentText(), "19200");
    EXPECT_EQ(choice("DataBits", 3)->currentText(), "7");
    EXPECT_EQ(choice("Parity", 3)->currentText(), "odd");
    EXPECT_EQ(choice("StopBits", 3)->currentText(), "2");
    EXPECT_EQ(choice("Flow", 3)->currentText(), "XON/XOFF");
    EXPECT_EQ(choice("Speed", 1)->currentText(), "9600");

    choice("Speed", 2)->setEditText("250000");
    choice("Parity", 2)->setCurrentText("even");
    choice("StopBits", 2)->setCurrentText("1.5");
    choice("Flow", 2)->setCurrentText("RTS/CTS");
    choice("StopBits", 4)->setCurrentText("1");
    dialog.Store();
    EXPECT_EQ(FileText(ini),
              "[Ports]\nCOM3=/dev/ttyS2\nCOM3Line=19200 7O2 XON/XOFF\nCOM4Line=9600 8N1\n"
              "COM1=/dev/ttyS0\nCOM2=/dev/ttyS1\nCOM2Line=250000 8E1.5 RTS/CTS\nCOM4=/dev/ttyS3\n");
}

// Long values and descriptions neither widen the dialog nor take it past the screen.
TEST(PortsDialog, KeepsItsSizeWhateverIsTyped) {
    const ScratchDir dir;
    const std::string ini = dir.File("brantel.ini");
    std::vector<FoundPort> found = {{"/dev/ttyUSB0", "FT232R"}};
    PortsDialog dialog(ini, [&] { return found; });
    dialog.show();
    QApplication::processEvents();
    const QSize before = dialog.size();
    auto* port = dialog.findChild<QComboBox*>("Port1");
    for (const QString& value :
         {QString("tcp://a-very-long-host-name.bench.example.internal:4002"),
          QString("rfc2217://") + QString(120, 'h') + ":1", QString("/dev/") + QString(90, 'x')}) {
        port->setEditText(value);
        found.push_back(
            {value.toStdString() + "-" + std::to_string(found.size()), std::string(200, 'd')});
        dialog.Refresh();
        dialog.adjustSize();
        QApplication::processEvents();
        EXPECT_EQ(dialog.size(), before) << value.toStdString();
    }
    EXPECT_LE(dialog.width(), QGuiApplication::primaryScreen()->availableGeometry().width());
}

struct WindowLineCase {
    const char* stored;
    speed_t speed;
    tcflag_t controlFlags;
    std::vector<LoggedLine> log;
    const char* inForce;
};

// The window opens port 2 at its COM2Line, as the device's side of the line shows, and says
// what it could not apply.
TEST(PortLine, TheWindowOpensEachPortAtItsOwnSettings) {
    const std::string bad =
        "Port COM2: COM2Line: 'fast' is no line settings (it needs two or three words): SPEED DPS "
        "[FLOW], such as \"9600 8N1\" or \"115200 8E1 RTS/CTS\"; the line runs at 9600 8N1 instead";
    const WindowLineCase cases[] = {
        {nullptr, B9600, 0, {Green("Port COM2: is Opened")}, "9600 8N1, no flow control"},
        {"19200 8N2 RTS/CTS",
         B19200,
         CSTOPB | CRTSCTS,
         {Green("Port COM2: is Opened")},
         "19200 8N2, RTS/CTS flow control"},
        {"fast", B9600, 0, {Green("Port COM2: is Opened"), Green(bad)}, "9600 8N1"},
        {"19200 8E2",
         0,
         0,
         {Green("Port COM2: is Busy"),
          Green("Port COM2: the line refused even parity (19200 8E2)")},
         "19200 8E2, no flow control"},
    };
    for (const WindowLineCase& c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "none stored");
        WindowFixture fixture;
        fixture.WriteIni("");
        if (c.stored) {
            ProfileStore(fixture.IniPath()).WriteString("Ports", "COM2Line", c.stored);
        }
        fixture.Start();

        EXPECT_EQ(fixture.Log(), c.log);
        EXPECT_NE(fixture.Form().StatusTip().toStdString().find(c.inForce), std::string::npos)
            << fixture.Form().StatusTip().toStdString();
        if (c.speed != 0) {
            const termios line = fixture.Device(2).LineSettings();
            EXPECT_EQ(cfgetispeed(&line), c.speed);
            EXPECT_EQ(cfgetospeed(&line), c.speed);
            EXPECT_EQ(line.c_cflag & (CSTOPB | CRTSCTS), c.controlFlags);
        } else {
            EXPECT_EQ(fixture.Form().StatusText(), "COM2: is Busy");
        }
    }
}

// Port 2 moved to the simulator through "Ports..." closes and opens again; when the simulator
// stops and comes back on the same link, the port opens again by itself, until the user closes
// it.
class PortsWindowTest : public ::testing::Test {
  protected:
    PortsWindowTest() {
        fixture.WriteIni("");
        fixture.Start();
    }
    ~PortsWindowTest() override { StopSim(); }

    void StartSim() {
        sim.start(BRANTEL_SIM_EXE, {"--link", QString::fromStdString(link)});
        ASSERT_TRUE(
            WaitUntil([&] { return QFileInfo::exists(QString::fromStdString(link)); }, 5000));
    }
    void StopSim() {
        sim.terminate();
        sim.waitForFinished(2000);
    }
    // Chooses `value` for port 2 in the Ports dialog and presses OK.
    void MapPortTwo(const std::string& value) {
        QTimer::singleShot(0, [value] {
            auto* dialog = qobject_cast<PortsDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            dialog->findChild<QComboBox*>("Port2")->setEditText(QString::fromStdString(value));
            dialog->accept();
        });
        fixture.Form().PortsClick();
    }

    WindowFixture fixture;
    ScratchDir dir;
    std::string link = dir.File("sim");
    QProcess sim;
};

TEST_F(PortsWindowTest, NewMappingReopensAndAReturningDeviceIsOpenedAgain) {
    StartSim();
    MapPortTwo(link);
    EXPECT_EQ(fixture.Log(),
              (std::vector{Green("Port COM2: is Opened"), Green("Port COM2: is Closed"),
                           Green("Port COM2: is Opened")}));
    EXPECT_NE(FileText(fixture.IniPath()).find("COM2=" + link), std::string::npos);
    EXPECT_NE(fixture.Form().StatusTip().toStdString().find(link), std::string::npos);

    StopSim();
    ASSERT_TRUE(WaitUntil([&] { return fixture.State().port.PortHandle() == nullptr; }));
    StartSim();
    ASSERT_TRUE(WaitUntil([&] { return fixture.State().port.PortHandle() != nullptr; }, 1500));
    EXPECT_EQ(fixture.Log().back(), Green("Port COM2: is Opened"));
    EXPECT_EQ(fixture.Form().StatusText(), "COM2: is Opened");

    StopSim();
    ASSERT_TRUE(WaitUntil([&] { return fixture.State().port.PortHandle() == nullptr; }));
    Application::Press(Named<QPushButton>(fixture.Form(), "Button6"));
    StartSim();
    EXPECT_FALSE(WaitUntil([&] { return fixture.State().port.PortHandle() != nullptr; }, 1500))
        << "reopened after the user pressed Close";
    EXPECT_EQ(fixture.Log().back(), Green("Port COM2: is Closed"));
}

}  // namespace
}  // namespace brantel::test
