#pragma once

#include <QObject>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "serial/log_sink.h"
#include "serial/port_transport.h"

namespace brantel {

// The one held port (`PortHandle`) and the number recorded as open (`OpenPortNumber`).
class PortConnection : public QObject {
    Q_OBJECT
  public:
    // `deviceFor` maps a port number to the value that names its device (none outside 1..4):
    // a device path or a network address (see MakePortTransport).
    PortConnection(LogSink log, std::function<std::optional<std::string>(int)> deviceFor,
                   QObject* parent = nullptr);
    ~PortConnection() override;

    // Closes a recorded port, opens port `number` and runs it at `line`; logs the open or busy
    // line, and after the busy line the setting the line refused, if it was one.
    bool OpenPort(int number, const LineSettings& line);
    // Releases the held port, logging its close line when a number is recorded.
    void ClosePort();

    // The held port, or nullptr (the invalid handle).
    PortTransport* PortHandle() const { return port_.get(); }
    int OpenPortNumber() const { return openPortNumber_; }
    // Why the last open failed, in the system's words; empty when it succeeded.
    const std::string& OpenFailure() const { return openFailure_; }
    // Whether the last open's failure may pass by itself (see PortTransport::FailureMayPass).
    bool OpenFailureMayPass() const { return openFailureMayPass_; }

    // Bracket every write to the held port, so RTS is raised only while bytes are sent.
    void BeginSend();
    void EndSend();

  signals:
    // The held device vanished and the port was released.
    void Released();
    // Bytes came in on the held port.
    void Arrived();

  private:
    // The port may be released from inside its own signals, so it is deleted later.
    struct DeleteLater {
        void operator()(PortTransport* port) const;
    };
    using Held = std::unique_ptr<PortTransport, DeleteLater>;

    void Release();

    LogSink log_;
    std::function<std::optional<std::string>(int)> deviceFor_;
    Held port_;
    // A network port still connecting, and its number: a close or another open meanwhile
    // (from a timer or the window closing) gives it up.
    PortTransport* opening_ = nullptr;
    int openingNumber_ = 0;
    int openPortNumber_ = 0;
    std::string openFailure_;
    bool openFailureMayPass_ = false;
};

}  // namespace brantel
