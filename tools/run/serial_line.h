#pragma once

#include <chrono>
#include <string>

#include "serial/port_connection.h"
#include "serial/raw_transfer.h"

namespace brantel::run {

// The one port of a run, opened with the window's line settings through the serial link, so a
// network address in place of a device path opens wherever the link opens one.
class SerialLine {
  public:
    explicit SerialLine(std::string device);

    // Opens the device; false when it cannot be opened or configured.
    bool Open(int number);
    // Why the last open failed, in the system's words.
    const std::string& OpenFailure() const;

    // Drops input that arrived since the last exchange, writes the frame, and collects the
    // answer until `gap` passes without a byte after the first one, or `timeout` passes
    // without any.
    std::string Exchange(const std::string& frame, std::chrono::milliseconds timeout,
                         std::chrono::milliseconds gap);

  private:
    std::string device_;
    PortConnection port_;
    RawTransfer transfer_;
};

}  // namespace brantel::run
