#include "serial/port_texts.h"

namespace brantel {
namespace {

std::string PortName(std::string_view prefix, int number) {
    return std::string(prefix) + "COM" + std::to_string(number);
}

std::string PortText(std::string_view prefix, int number, std::string_view state) {
    return PortName(prefix, number) + ": is " + std::string(state);
}

}  // namespace

std::string PortOpenedLine(int number) {
    return PortText("Port ", number, "Opened");
}

std::string PortBusyLine(int number) {
    return PortText("Port ", number, "Busy");
}

std::string PortClosedLine(int number) {
    return PortText("Port ", number, "Closed");
}

std::string PortNoteLine(int number, const std::string& note) {
    return PortName("Port ", number) + ": " + note;
}

std::string OpenStatusText(int number, bool held) {
    return PortText("", number, held ? "Opened" : "Busy");
}

}  // namespace brantel
