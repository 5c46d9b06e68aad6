#pragma once

#include <chrono>
#include <cstddef>
#include <string>

#include "frames/answer_limits.h"
#include "platform/line_settings.h"
#include "row_run.h"
#include "serial/port_connection.h"
#include "serial/raw_transfer.h"

namespace brantel::run {

// The one port of a run, opened through the serial link as the window opens it, so a network
// address in place of a device path opens wherever the link opens one.
class SerialLine {
  public:
    SerialLine(std::string device, const LineSettings& line);

    // Opens the device; false when it cannot be opened or configured. A serial server that
    // closes the connection at once (it still holds the device for a client that has just
    // left) is tried again for about two seconds.
    bool Open(int number);
    // Why the last open failed, in the system's words.
    const std::string& OpenFailure() const;

    // Drops input that arrived since the last exchange, writes the frame, and collects the
    // answer until `gap` passes without a byte after the first one, or `timeout` passes
    // without any, within the limits.
    Answer Exchange(const std::string& frame, const AnswerLimits& limits);

    // Ends the run's use of the line: an open under way is given up, and the exchange under
    // way or the next one ends as interrupted. Safe to call from the event loop at any time.
    void Stop();

  private:
    // Whether a network port just opened stays open a moment: false when the server closed it.
    bool KeptOpen();

    std::string device_;
    LineSettings line_;
    PortConnection port_;
    RawTransfer transfer_;
    bool stopped_ = false;
    // Why the last open failed when the server closed the connection right after it.
    std::string closedAtOnce_;
};

}  // namespace brantel::run
