#pragma once

#include <optional>
#include <string>

#include "platform/line_settings.h"

namespace brantel {

class ProfileStore;

// The device port number n (1 to 4) opens when section "Ports" names none.
std::string DefaultDevicePath(int number);

// The device that port number n (1 to 4) opens: key "COM<n>" of section "Ports", else the
// platform's default name. No device for any other number.
std::optional<std::string> PortDevicePath(const ProfileStore& store, int number);

// The line settings of a port: key "COM<n>Line" of section "Ports", and why a stored value was
// not used (empty when it was, or when there is none).
struct PortLine {
    LineSettings settings;
    std::string problem;
};

// The key beside "COM<n>" that holds the port's line settings.
std::string PortLineKey(int number);

// The line port number n runs at: its stored settings, else 9600 8N1 without flow control.
PortLine PortLineSettings(const ProfileStore& store, int number);

}  // namespace brantel
