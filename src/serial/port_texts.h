#pragma once

#include <string>
#include <string_view>

namespace brantel {

// Green log lines of the port connection; n in decimal, with a minus sign when negative.
std::string PortOpenedLine(int number);
std::string PortBusyLine(int number);
std::string PortClosedLine(int number);
// A further word on port n in the same form: "Port COM" + n + ": " + note.
std::string PortNoteLine(int number, const std::string& note);

// The status panel after the Open button: by whether a port is held, not by the open's result.
std::string OpenStatusText(int number, bool held);
// The status panel after the Close button.
inline constexpr std::string_view kClosedStatusText = "COM-Port Closed";

}  // namespace brantel
