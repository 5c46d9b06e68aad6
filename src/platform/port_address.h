#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace brantel {

// What a value of section "Ports" names: a local serial device, or a serial server on the
// network reached as a raw byte stream (`tcp://HOST:PORT`) or by Telnet with the
// COM-PORT-OPTION (`rfc2217://HOST:PORT`).
struct PortAddress {
    enum class Kind { kLocal, kTcp, kRfc2217 };
    Kind kind = Kind::kLocal;
    // The device path of a local port.
    std::string path;
    // The server of a network port: a name, an IPv4 address, or an IPv6 address without its
    // brackets.
    std::string host;
    std::uint16_t port = 0;

    bool operator==(const PortAddress&) const = default;
};

// Why a value that names a network port cannot be used.
inline constexpr std::string_view kBadNetworkAddress =
    "not a network port of the form tcp://HOST:PORT or rfc2217://HOST:PORT";

// The port a value names. A value containing "://" is a network address; none when its scheme
// is unknown or its host or port (1 to 65535) is missing or malformed.
std::optional<PortAddress> ParsePortAddress(std::string_view value);

// The address in words, for a tooltip: the path of a local port, or the server, its port and
// how it is spoken to.
std::string DescribePortAddress(const PortAddress& address);

}  // namespace brantel
