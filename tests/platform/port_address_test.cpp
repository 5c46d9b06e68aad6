#include "platform/port_address.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace brantel {
namespace {

using Kind = PortAddress::Kind;

std::optional<PortAddress> Network(Kind kind, std::string host, std::uint16_t port) {
    PortAddress address;
    address.kind = kind;
    address.host = std::move(host);
    address.port = port;
    return address;
}

std::optional<PortAddress> Local(std::string path) {
    PortAddress address;
    address.path = std::move(path);
    return address;
}

struct AddressCase {
    const char* value;
    std::optional<PortAddress> address;
    const char* description;
};

TEST(PortAddress, TellsLocalDevicesFromNetworkPortsAndDescribesThem) {
    const AddressCase cases[] = {
        {"/dev/ttyUSB0", Local("/dev/ttyUSB0"), "/dev/ttyUSB0"},
        {"/dev/serial/by-id/usb-FTDI_x-if00-port0",
         Local("/dev/serial/by-id/usb-FTDI_x-if00-port0"),
         "/dev/serial/by-id/usb-FTDI_x-if00-port0"},
        {"COM3", Local("COM3"), "COM3"},
        {"tcp://10.0.0.7:4001", Network(Kind::kTcp, "10.0.0.7", 4001),
         "serial server 10.0.0.7:4001, raw TCP"},
        {"rfc2217://rack-3.lab:2217", Network(Kind::kRfc2217, "rack-3.lab", 2217),
         "serial server rack-3.lab:2217, Telnet RFC 2217"},
        {"RFC2217://host:1", Network(Kind::kRfc2217, "host", 1),
         "serial server host:1, Telnet RFC 2217"},
        {"tcp://[::1]:65535", Network(Kind::kTcp, "::1", 65535),
         "serial server [::1]:65535, raw TCP"},
        {"tcp://host", std::nullopt, nullptr},
        {"tcp://host:", std::nullopt, nullptr},
        {"tcp://:4001", std::nullopt, nullptr},
        {"tcp://host:0", std::nullopt, nullptr},
        {"tcp://host:65536", std::nullopt, nullptr},
        {"tcp://host:40x1", std::nullopt, nullptr},
        {"tcp://host:+401", std::nullopt, nullptr},
        {"tcp://host:4001/", std::nullopt, nullptr},
        {"tcp://::1:4001", std::nullopt, nullptr},
        {"tcp://[::1]4001", std::nullopt, nullptr},
        {"tcp://[]:4001", std::nullopt, nullptr},
        {"tcp://user@host:4001", std::nullopt, nullptr},
        {"tcp://my host:4001", std::nullopt, nullptr},
        {"udp://host:4001", std::nullopt, nullptr},
        {"://host:4001", std::nullopt, nullptr},
    };
    for (const AddressCase& c : cases) {
        SCOPED_TRACE(c.value);
        const std::optional<PortAddress> address = ParsePortAddress(c.value);
        EXPECT_EQ(address, c.address);
        if (address && c.description != nullptr) {
            EXPECT_EQ(DescribePortAddress(*address), c.description);
        }
    }
}

}  // namespace
}  // namespace brantel
