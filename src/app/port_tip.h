#pragma once

#include <string>
#include <vector>

#include "platform/port_names.h"
#include "serial/found_ports.h"

namespace brantel {

// What port `device` names and whether it is there, in words.
std::string PortPresence(const std::string& device, const std::vector<FoundPort>& found);

// The line settings a port named by `device` runs at, in words: none for a raw TCP stream,
// whose server keeps its own; why stored settings were not used.
std::string LineInForce(const std::string& device, const PortLine& line);

// The status bar's tooltip: the device port `number` maps to, the line settings in force and,
// after a failed open, why it failed in the system's words, with the usual remedy where there
// is one.
std::string PortStatusTip(int number, const std::string& device, const PortLine& line,
                          const std::vector<FoundPort>& found, const std::string& failure);

}  // namespace brantel
