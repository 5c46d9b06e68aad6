#pragma once

#include <QObject>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/line_settings.h"

namespace brantel {

// One way of reaching the device behind a port number: a local serial line or a serial server
// on the network. The port connection opens and releases it; the raw transfer moves bytes
// through it. Every call runs on the window's thread.
class PortTransport : public QObject {
    Q_OBJECT
  public:
    // Opens the line and runs it at `line` (speed, data bits, parity, stop bits, flow control),
    // DTR raised and RTS lowered; false when either step failed, and then nothing stays held.
    // A network transport keeps the window painting while it connects, and gives up after a
    // bounded time.
    virtual bool Open(const LineSettings& line) = 0;
    // Lets the line go; nothing more is signalled afterwards.
    virtual void Close() = 0;
    // Gives up an Open still under way, which then returns false.
    virtual void Abort() {}

    // Hands `piece` (at most 255 bytes) to the line and waits at most 2n + 2 ms for its n
    // bytes to leave; the count that left.
    virtual int Write(std::string_view piece) = 0;
    // Up to `most` of the bytes received so far, without waiting for more.
    virtual std::string Read(int most) = 0;
    // Bracket the writes of one transfer, so RTS is raised only while its bytes are sent.
    virtual void BeforeSend() {}
    virtual void AfterSend() {}

    // Why the last Open failed, in the system's words; empty after a successful one.
    const std::string& Failure() const { return failure_; }
    // Whether that failure may pass by itself in a moment, so that an open may be tried again.
    bool FailureMayPass() const { return failureMayPass_; }
    // Whether that failure was the line refusing one of its settings.
    bool LineRefused() const { return lineRefused_; }

  signals:
    // The device or the server went away while the line was open.
    void Vanished();
    // Bytes came in while the line was open (for a network port, perhaps only control data).
    void Arrived();

  protected:
    std::string failure_;
    bool failureMayPass_ = false;
    bool lineRefused_ = false;
};

// The transport for a value of section "Ports": a device path, `tcp://HOST:PORT` or
// `rfc2217://HOST:PORT`. None for a malformed network address.
std::unique_ptr<PortTransport> MakePortTransport(const std::string& value);

}  // namespace brantel
