#pragma once

#include <string>
#include <vector>

#include "serial/found_ports.h"

namespace brantel {

// What port `device` names and whether it is there, in words.
std::string PortPresence(const std::string& device, const std::vector<FoundPort>& found);

// The status bar's tooltip: the device port `number` maps to and, after a failed open, why it
// failed in the system's words, with the usual remedy where there is one.
std::string PortStatusTip(int number, const std::string& device,
                          const std::vector<FoundPort>& found, const std::string& failure);

}  // namespace brantel
