#include "app/port_tip.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>

#include "platform/port_address.h"

namespace brantel {
namespace {

bool SameDevice(const std::string& a, const std::string& b) {
    std::error_code error;
    return a == b || std::filesystem::equivalent(a, b, error);
}

// A device the user may not open is the usual first trouble on Linux; say what helps.
std::string WithRemedy(const std::string& failure) {
    const std::string denied = "Permission denied";
    const std::size_t at = failure.find(denied);
    if (at == std::string::npos) {
        return failure;
    }
    return failure.substr(0, at) + "permission denied: add the user to the dialout group";
}

}  // namespace

std::string PortPresence(const std::string& device, const std::vector<FoundPort>& found) {
    const std::optional<PortAddress> address = ParsePortAddress(device);
    if (!address) {
        return std::string(kBadNetworkAddress);
    }
    if (address->kind != PortAddress::Kind::kLocal) {
        return DescribePortAddress(*address);
    }
    const auto match = std::find_if(found.begin(), found.end(), [&](const FoundPort& port) {
        return SameDevice(port.path, address->path);
    });
    if (match != found.end()) {
        return "present: " + match->details;
    }
    std::error_code error;
    return std::filesystem::exists(address->path, error) ? "present" : "not present now";
}

std::string LineInForce(const std::string& device, const PortLine& line) {
    const std::optional<PortAddress> address = ParsePortAddress(device);
    if (address && address->kind == PortAddress::Kind::kTcp) {
        return "line settings: the server's own (a raw TCP stream cannot set " +
               LineSettingsText(line.settings) + ")";
    }
    std::string words = DescribeLineSettings(line.settings);
    if (!line.problem.empty()) {
        words += "\n" + line.problem;
    }
    return words;
}

std::string PortStatusTip(int number, const std::string& device, const PortLine& line,
                          const std::vector<FoundPort>& found, const std::string& failure) {
    std::string tip = "COM" + std::to_string(number) + " is " + device + " (" +
                      PortPresence(device, found) + ")\n" + LineInForce(device, line);
    if (!failure.empty()) {
        tip += "\n" + WithRemedy(failure);
    }
    return tip;
}

}  // namespace brantel
