#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "support/window_fixture.h"

namespace brantel::test {

// An INI "Ports" section that maps port `number` to `device`. Written ahead of the fixture's
// own mapping, it wins: the first of duplicate keys counts.
inline std::string PortMapping(int number, const std::string& device) {
    return "[Ports]\nCOM" + std::to_string(number) + "=" + device + "\n";
}

// Shows a logged line readably in a failure message.
inline void PrintTo(const LoggedLine& line, std::ostream* out) {
    *out << "{\"" << line.text.substr(0, 60) << (line.text.size() > 60 ? "...\"" : "\"")
         << ", colour " << std::hex << line.colour << std::dec << "}";
}

// The log without its blue (received) lines.
inline std::vector<LoggedLine> LogWithoutReceived(const WindowFixture& fixture) {
    std::vector<LoggedLine> lines = fixture.Log();
    std::erase_if(lines, [](const LoggedLine& line) { return line.colour == kReceivedBlue; });
    return lines;
}

// The blue (received) lines of the window's log, joined in order.
inline std::string ReceivedHex(const WindowFixture& fixture) {
    std::string hex;
    for (const LoggedLine& line : fixture.Log()) {
        if (line.colour == kReceivedBlue) {
            hex += line.text;
        }
    }
    return hex;
}

}  // namespace brantel::test
