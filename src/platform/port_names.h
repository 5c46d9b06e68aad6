#pragma once

#include <optional>
#include <string>

namespace brantel {

class ProfileStore;

// The device port number n (1 to 4) opens when section "Ports" names none.
std::string DefaultDevicePath(int number);

// The device that port number n (1 to 4) opens: key "COM<n>" of section "Ports", else the
// platform's default name. No device for any other number.
std::optional<std::string> PortDevicePath(const ProfileStore& store, int number);

}  // namespace brantel
