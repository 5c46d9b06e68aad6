#include "serial/port_transport.h"

#include "platform/port_address.h"
#include "serial/rfc2217_transport.h"
#include "serial/serial_line_transport.h"
#include "serial/tcp_transport.h"

namespace brantel {

std::unique_ptr<PortTransport> MakePortTransport(const std::string& value) {
    const std::optional<PortAddress> address = ParsePortAddress(value);
    if (!address) {
        return nullptr;
    }
    switch (address->kind) {
        case PortAddress::Kind::kTcp:
            return std::make_unique<TcpTransport>(address->host, address->port);
        case PortAddress::Kind::kRfc2217:
            return std::make_unique<Rfc2217Transport>(address->host, address->port);
        case PortAddress::Kind::kLocal:
            break;
    }
    return std::make_unique<SerialLineTransport>(address->path);
}

}  // namespace brantel
