#pragma once

#include <QDeadlineTimer>
#include <QTest>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "serial/port_connection.h"
#include "serial/serial_line_transport.h"
#include "text/colours.h"
#include "text/hex_line.h"

namespace brantel::test {

struct LoggedLine {
    std::string text;
    Colour colour;
    bool operator==(const LoggedLine&) const = default;
};

// Shows a logged line readably in a failure message (shared by every test of the log).
inline void PrintTo(const LoggedLine& line, std::ostream* out) {
    *out << "{\"" << line.text.substr(0, 60) << (line.text.size() > 60 ? "...\"" : "\"")
         << ", colour " << std::hex << line.colour << std::dec << "}";
}

// Collects the lines the serial link logs, in order.
class LogRecorder {
  public:
    auto Sink() {
        return [this](const std::string& text, Colour colour) { lines.push_back({text, colour}); };
    }
    // Bytes moved, recorded as the hex line the log shows.
    auto HexSink() {
        return [this](const std::string& bytes, Colour colour) {
            lines.push_back({HexLine(bytes), colour});
        };
    }
    std::vector<LoggedLine> lines;
};

// The local line a connection holds, for what only a local device shows (its termios, the
// bytes waiting in its driver).
inline QSerialPort& HeldLine(const PortConnection& connection) {
    return dynamic_cast<SerialLineTransport&>(*connection.PortHandle()).Line();
}

// Runs the event loop until the condition holds or the time is up; the condition's last value.
inline bool WaitUntil(const std::function<bool()>& condition, int milliseconds = 2000) {
    const QDeadlineTimer deadline(milliseconds);
    while (!condition()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QTest::qWait(5);
    }
    return true;
}

}  // namespace brantel::test
