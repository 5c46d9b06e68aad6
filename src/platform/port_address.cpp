#include "platform/port_address.h"

#include <algorithm>

#include "platform/ascii_case.h"

namespace brantel {
namespace {

constexpr std::string_view kSchemeMark = "://";

std::optional<PortAddress::Kind> SchemeKind(std::string_view scheme) {
    std::string lower(scheme);
    std::transform(lower.begin(), lower.end(), lower.begin(), AsciiLower);
    if (lower == "tcp") {
        return PortAddress::Kind::kTcp;
    }
    if (lower == "rfc2217") {
        return PortAddress::Kind::kRfc2217;
    }
    return std::nullopt;
}

// A host is printable ASCII without blanks or the characters that delimit an address; inside
// brackets (IPv6) the colon belongs to it as well.
bool IsHost(std::string_view host, bool bracketed) {
    const auto fits = [bracketed](char c) {
        const bool printable = c > ' ' && c < 0x7F;
        const bool delimiter = std::string_view("/[]@?#").find(c) != std::string_view::npos;
        return printable && !delimiter && (bracketed || c != ':');
    };
    return !host.empty() && std::all_of(host.begin(), host.end(), fits);
}

std::optional<std::uint16_t> PortNumber(std::string_view text) {
    constexpr std::size_t kMostDigits = 5;
    if (text.empty() || text.size() > kMostDigits ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    const int number = std::stoi(std::string(text));
    if (number < 1 || number > 0xFFFF) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(number);
}

std::optional<PortAddress> NetworkAddress(PortAddress::Kind kind, std::string_view rest) {
    const bool bracketed = !rest.empty() && rest.front() == '[';
    const std::size_t hostEnd = bracketed ? rest.find(']') : rest.rfind(':');
    if (hostEnd == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view host = bracketed ? rest.substr(1, hostEnd - 1) : rest.substr(0, hostEnd);
    const std::string_view afterHost = rest.substr(bracketed ? hostEnd + 1 : hostEnd);
    if (!IsHost(host, bracketed) || afterHost.empty() || afterHost.front() != ':') {
        return std::nullopt;
    }
    const std::optional<std::uint16_t> port = PortNumber(afterHost.substr(1));
    if (!port) {
        return std::nullopt;
    }
    PortAddress address;
    address.kind = kind;
    address.host = std::string(host);
    address.port = *port;
    return address;
}

}  // namespace

std::optional<PortAddress> ParsePortAddress(std::string_view value) {
    const std::size_t mark = value.find(kSchemeMark);
    if (mark == std::string_view::npos) {
        PortAddress local;
        local.path = std::string(value);
        return local;
    }
    const std::optional<PortAddress::Kind> kind = SchemeKind(value.substr(0, mark));
    if (!kind) {
        return std::nullopt;
    }
    return NetworkAddress(*kind, value.substr(mark + kSchemeMark.size()));
}

std::string DescribePortAddress(const PortAddress& address) {
    if (address.kind == PortAddress::Kind::kLocal) {
        return address.path;
    }
    const bool ipv6 = address.host.find(':') != std::string::npos;
    const std::string server =
        (ipv6 ? "[" + address.host + "]" : address.host) + ":" + std::to_string(address.port);
    if (address.kind == PortAddress::Kind::kTcp) {
        return "serial server " + server + ", raw TCP";
    }
    return "serial server " + server + ", Telnet RFC 2217";
}

}  // namespace brantel
