#include "serial/port_connection.h"

#include <limits>

#include "serial/port_texts.h"

namespace brantel {
namespace {

// Input read from the driver but not yet taken by a poll: a few polls' worth.
constexpr qint64 kHeldInputBytes = 4096;

}  // namespace

void PortConnection::DeleteLater::operator()(QSerialPort* port) const {
    port->close();
    port->deleteLater();
}

PortConnection::PortConnection(LogSink log,
                               std::function<std::optional<std::string>(int)> deviceFor,
                               QObject* parent)
    : QObject(parent), log_(std::move(log)), deviceFor_(std::move(deviceFor)) {}

PortConnection::~PortConnection() {
    Release();
}

bool PortConnection::OpenPort(int number, std::uint32_t speed) {
    if (openPortNumber_ != 0) {
        ClosePort();
    }
    Release();
    if (const std::optional<std::string> device = deviceFor_(number)) {
        port_ = Open(*device);
    }
    const bool success = port_ && SetPortState(*port_, speed);
    if (!success) {
        // A port that opened but refused its line settings is of no use: let it go at once.
        Release();
        log_(PortBusyLine(number), kPortStatusGreen);
        return false;
    }
    log_(PortOpenedLine(number), kPortStatusGreen);
    openPortNumber_ = number;
    return true;
}

void PortConnection::ClosePort() {
    if (port_ && openPortNumber_ != 0) {
        log_(PortClosedLine(openPortNumber_), kPortStatusGreen);
    }
    Release();
}

void PortConnection::BeginSend() {
    if (port_) {
        rts_.BeforeSend(*port_);
    }
}

void PortConnection::EndSend() {
    if (port_) {
        rts_.AfterSend(*port_);
    }
}

std::unique_ptr<QSerialPort, PortConnection::DeleteLater> PortConnection::Open(
    const std::string& device) {
    std::unique_ptr<QSerialPort, DeleteLater> port(new QSerialPort);
    port->setPortName(QString::fromLocal8Bit(device.c_str()));
    // Qt would otherwise read everything a fast device sends into memory of its own; what the
    // poll has not taken waits in the driver instead.
    port->setReadBufferSize(kHeldInputBytes);
    if (!port->open(QIODevice::ReadWrite)) {
        return nullptr;
    }
    QSerialPort* raw = port.get();
    connect(raw, &QSerialPort::errorOccurred, this,
            [this, raw](QSerialPort::SerialPortError error) { OnError(raw, error); });
    return port;
}

bool PortConnection::SetPortState(QSerialPort& port, std::uint32_t speed) {
    if (speed > static_cast<std::uint32_t>(std::numeric_limits<qint32>::max())) {
        return false;
    }
    const bool lineSet =
        port.setBaudRate(static_cast<qint32>(speed)) && port.setDataBits(QSerialPort::Data8) &&
        port.setParity(QSerialPort::NoParity) && port.setStopBits(QSerialPort::OneStop) &&
        port.setFlowControl(QSerialPort::NoFlowControl);
    if (!lineSet) {
        return false;
    }
    // A line without modem-control lines refuses DTR; it still carries bytes.
    port.setDataTerminalReady(true);
    port.clearError();
    rts_.Setup(port);
    return true;
}

void PortConnection::Release() {
    if (port_) {
        rts_.Restore(*port_);
        port_.reset();
    }
    openPortNumber_ = 0;
}

void PortConnection::OnError(const QSerialPort* port, QSerialPort::SerialPortError error) {
    // Qt repeats these without end while a vanished device stays open.
    const bool vanished = error == QSerialPort::ResourceError || error == QSerialPort::ReadError;
    if (port == port_.get() && vanished) {
        ClosePort();
        emit Released();
    }
}

}  // namespace brantel
