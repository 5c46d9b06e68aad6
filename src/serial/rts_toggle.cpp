#include "serial/rts_toggle.h"

#include <sys/ioctl.h>
#include <termios.h>

#include <QSerialPort>

namespace brantel {

void RtsToggle::Setup(QSerialPort& port) {
    const int fd = static_cast<int>(port.handle());
    serial_rs485 wanted{};
    if (ioctl(fd, TIOCGRS485, &previous_) == 0) {
        wanted = previous_;
        wanted.flags |= SER_RS485_ENABLED | SER_RS485_RTS_ON_SEND;
        wanted.flags &= ~SER_RS485_RTS_AFTER_SEND;
        if (ioctl(fd, TIOCSRS485, &wanted) == 0) {
            mode_ = Mode::kDriver;
            return;
        }
    }
    mode_ = port.setRequestToSend(false) ? Mode::kByHand : Mode::kNone;
    // A refused modem-control call is no fault of the line; keep it out of the port's state.
    port.clearError();
}

void RtsToggle::BeforeSend(QSerialPort& port) {
    if (mode_ == Mode::kByHand) {
        port.setRequestToSend(true);
    }
}

void RtsToggle::AfterSend(QSerialPort& port) {
    if (mode_ == Mode::kByHand) {
        tcdrain(static_cast<int>(port.handle()));
        port.setRequestToSend(false);
    }
}

void RtsToggle::Restore(QSerialPort& port) {
    if (mode_ == Mode::kDriver) {
        ioctl(static_cast<int>(port.handle()), TIOCSRS485, &previous_);
    }
    mode_ = Mode::kNone;
}

}  // namespace brantel
