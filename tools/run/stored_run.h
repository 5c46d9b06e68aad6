#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "commands/command_row.h"
#include "platform/port_names.h"

namespace brantel {
class ProfileStore;
}

namespace brantel::run {

// What a run takes from the INI file, read as the window reads it at start-up.
struct StoredRun {
    // The cells of rows 1 to 29 as stored, an absent row without cells.
    std::array<std::vector<std::string>, kCommandRows> rows;
    int portNumber = 2;
    std::string address = "50";
    std::string parameters;
};

StoredRun ReadStoredRun(const ProfileStore& store);

// A row's cell, empty beyond the stored ones.
std::string Cell(const std::vector<std::string>& cells, int column);

// The port a run opens: its name for messages and the device (a path, or a network address
// that the serial link opens in its place).
struct PortChoice {
    std::string name;
    std::string device;
    // The port number when the port is one of COM1 to COM4.
    int number = 0;
    // The line it runs at, and why stored settings were not used.
    PortLine line;
};

// `option` as given on the command line (COMn, a path or an address), else the stored number;
// COM1 to COM4 map through [Ports], their line settings too. `line`, when given, replaces the
// line settings. Throws std::runtime_error for a COM number outside them.
PortChoice ChoosePort(const std::optional<std::string>& option, int storedNumber,
                      const ProfileStore& store, const std::optional<LineSettings>& line);

}  // namespace brantel::run
