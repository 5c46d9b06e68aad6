#pragma once

#include <QSerialPort>
#include <string>

#include "serial/port_transport.h"
#include "serial/rts_toggle.h"

namespace brantel {

// A local serial device, opened exclusively through Qt SerialPort.
class SerialLineTransport : public PortTransport {
    Q_OBJECT
  public:
    explicit SerialLineTransport(const std::string& device);

    bool Open(const LineSettings& line) override;
    void Close() override;
    int Write(std::string_view piece) override;
    std::string Read(int most) override;
    void BeforeSend() override;
    void AfterSend() override;

    // The line itself, for what only a local device has (its termios, its driver's buffer).
    QSerialPort& Line() { return line_; }

  private:
    // The line's settings, DTR raised, RTS toggled on send; the setting the driver refused, in
    // words, or empty. The line time-outs need no call of their own: each read and write
    // carries its deadline.
    std::string SetPortState(const LineSettings& line);
    void OnError(QSerialPort::SerialPortError error);

    QSerialPort line_;
    RtsToggle rts_;
};

}  // namespace brantel
