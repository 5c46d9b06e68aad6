#pragma once

#include <string>
#include <vector>

namespace brantel {

// A serial device present now, as the Ports dialog offers it.
struct FoundPort {
    // The name to store: its stable /dev/serial/by-id name where there is one, else its path.
    std::string path;
    // What identifies it: path, description, manufacturer, serial number, USB VID:PID.
    std::string details;
};

// The serial devices present now, stable names first.
std::vector<FoundPort> FindSerialPorts();

}  // namespace brantel
