#pragma once

#include <QStringList>
#include <memory>
#include <string>
#include <vector>

#include "support/named.h"
#include "support/pty_device.h"
#include "support/scratch_dir.h"
#include "support/serial_fixture.h"

namespace brantel {
class ProgramState;
class TForm1;
class TrafficLog;
}  // namespace brantel

namespace brantel::test {

// The lines a traffic log holds with the colour their characters carry, oldest first.
std::vector<LoggedLine> LoggedLines(const TrafficLog& log);

LoggedLine Green(const std::string& text);
LoggedLine Red(const std::string& text);
LoggedLine Blue(const std::string& text);
LoggedLine Teal(const std::string& text);

// The main window made as the program makes it, with its INI file in a scratch folder of its
// own. Ports 2 and 3 are pseudo-terminal devices, mapped in the INI file's "Ports" section.
class WindowFixture {
  public:
    WindowFixture();
    ~WindowFixture();
    WindowFixture(const WindowFixture&) = delete;
    WindowFixture& operator=(const WindowFixture&) = delete;

    const std::string& IniPath() const { return iniPath_; }
    std::string IniText() const { return FileText(iniPath_); }
    // Writes the INI file before start-up: `sections` followed by the port mapping.
    void WriteIni(const std::string& sections);

    // Creates the window, runs start-up through the event dispatch, shows the window and
    // waits until it is active.
    TForm1& Start();
    // Destroys the window (saving at destruction as the program does at its end).
    void Destroy();

    TForm1& Form() { return *form_; }
    ProgramState& State() { return *state_; }
    PtyDevice& Device(int number) { return number == 2 ? two_ : three_; }
    std::string DevicePath(int number) { return Device(number).SlavePath(); }

    std::vector<LoggedLine> Log() const;
    // The errors the application reported since the fixture was made, as "caption|text".
    QStringList NewErrors() const;
    // The caption every error box carries.
    static QString Title();

  private:
    ScratchDir dir_;
    std::string iniPath_;
    PtyDevice two_;
    PtyDevice three_;
    qsizetype errorsBefore_;
    std::unique_ptr<ProgramState> state_;
    std::unique_ptr<TForm1> form_;
};

}  // namespace brantel::test
