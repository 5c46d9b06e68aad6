#pragma once

#include <sys/ioctl.h>

#include <optional>
#include <string>

#include "serial/port_connection.h"
#include "serial/raw_transfer.h"
#include "support/pty_device.h"
#include "support/serial_fixture.h"

namespace brantel::bench {

// Port 2 held on a pseudo-terminal whose master side plays the device.
struct SerialBenchRig {
    explicit SerialBenchRig(const LogSink& log)
        : connection(log, [this](int) -> std::optional<std::string> { return device.SlavePath(); }),
          transfer(connection, log, [](const std::string&) {}) {
        held = connection.OpenPort(2, {});
    }

    // Bytes the device sent that the driver holds for the port.
    int InDriver() const {
        int count = 0;
        ioctl(static_cast<int>(test::HeldLine(connection).handle()), FIONREAD, &count);
        return count;
    }

    test::PtyDevice device;
    PortConnection connection;
    RawTransfer transfer;
    bool held = false;
};

}  // namespace brantel::bench
