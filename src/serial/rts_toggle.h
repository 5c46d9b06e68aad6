#pragma once

#include <linux/serial.h>

class QSerialPort;

namespace brantel {

// RTS raised only while bytes are being sent: by the driver's RS-485 mode where it has one,
// otherwise by hand around each write. A line without modem-control lines (a pseudo-terminal)
// gets no toggling at all.
class RtsToggle {
  public:
    void Setup(QSerialPort& port);
    void BeforeSend(QSerialPort& port);
    // Waits until the bytes have left the line before RTS drops.
    void AfterSend(QSerialPort& port);
    // Gives the driver back the RS-485 settings it had before Setup.
    void Restore(QSerialPort& port);

  private:
    enum class Mode { kNone, kDriver, kByHand };
    Mode mode_ = Mode::kNone;
    serial_rs485 previous_{};
};

}  // namespace brantel
