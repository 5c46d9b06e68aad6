#pragma once

#include <QObject>
#include <QSerialPort>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "serial/log_sink.h"
#include "serial/rts_toggle.h"

namespace brantel {

// The one held serial port (`PortHandle`) and the number recorded as open (`OpenPortNumber`).
class PortConnection : public QObject {
    Q_OBJECT
  public:
    // `deviceFor` maps a port number to its device path (none outside 1..4).
    PortConnection(LogSink log, std::function<std::optional<std::string>(int)> deviceFor,
                   QObject* parent = nullptr);
    ~PortConnection() override;

    // Closes a recorded port, opens and configures port `number`; logs the open or busy line.
    bool OpenPort(int number, std::uint32_t speed);
    // Releases the held port, logging its close line when a number is recorded.
    void ClosePort();

    // The held port, or nullptr (the invalid handle).
    QSerialPort* PortHandle() const { return port_.get(); }
    int OpenPortNumber() const { return openPortNumber_; }

    // Bracket every write to the held port, so RTS is raised only while bytes are sent.
    void BeginSend();
    void EndSend();

  signals:
    // The held device vanished and the port was released.
    void Released();

  private:
    // The port may be released from inside its own error signal, so it is deleted later.
    struct DeleteLater {
        void operator()(QSerialPort* port) const;
    };

    std::unique_ptr<QSerialPort, DeleteLater> Open(const std::string& device);
    // The line settings: 8N1 at the speed, no flow control, DTR raised, RTS toggled on send.
    // The line time-outs need no call of their own: each read and write carries its deadline.
    bool SetPortState(QSerialPort& port, std::uint32_t speed);
    void Release();
    void OnError(const QSerialPort* port, QSerialPort::SerialPortError error);

    LogSink log_;
    std::function<std::optional<std::string>(int)> deviceFor_;
    std::unique_ptr<QSerialPort, DeleteLater> port_;
    RtsToggle rts_;
    int openPortNumber_ = 0;
};

}  // namespace brantel
