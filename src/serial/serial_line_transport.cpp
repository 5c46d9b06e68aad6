#include "serial/serial_line_transport.h"

#include <limits>

#include "serial/device_io.h"

namespace brantel {
namespace {

// Input read from the driver but not yet taken by a poll: a few polls' worth.
constexpr qint64 kHeldInputBytes = 4096;

}  // namespace

SerialLineTransport::SerialLineTransport(const std::string& device) {
    line_.setPortName(QString::fromLocal8Bit(device.c_str()));
    // Qt would otherwise read everything a fast device sends into memory of its own; what the
    // poll has not taken waits in the driver instead.
    line_.setReadBufferSize(kHeldInputBytes);
}

bool SerialLineTransport::Open(std::uint32_t speed) {
    failure_.clear();
    if (!line_.open(QIODevice::ReadWrite)) {
        failure_ = line_.errorString().toLocal8Bit().toStdString();
        return false;
    }
    if (!SetPortState(speed)) {
        failure_ = "the line refused 8N1 at " + std::to_string(speed) + " baud";
        line_.close();
        return false;
    }
    connect(&line_, &QSerialPort::errorOccurred, this, &SerialLineTransport::OnError);
    connect(&line_, &QSerialPort::readyRead, this, &PortTransport::Arrived);
    return true;
}

void SerialLineTransport::Close() {
    disconnect(&line_, nullptr, this, nullptr);
    if (line_.isOpen()) {
        rts_.Restore(line_);
        line_.close();
    }
}

int SerialLineTransport::Write(std::string_view piece) {
    const std::optional<qint64> left = WriteWithin(line_, piece, WriteDeadline(piece.size()));
    if (!left) {
        return 0;
    }
    if (*left > 0) {
        // What missed its time stays unsent rather than trickling out behind later writes.
        line_.clear(QSerialPort::Output);
    }
    return static_cast<int>(static_cast<qint64>(piece.size()) - *left);
}

std::string SerialLineTransport::Read(int most) {
    FetchPending(line_, line_.handle(), most);
    // A vanished device is let go from inside the fetch.
    if (!line_.isOpen()) {
        return {};
    }
    return line_.read(most).toStdString();
}

void SerialLineTransport::BeforeSend() {
    rts_.BeforeSend(line_);
}

void SerialLineTransport::AfterSend() {
    if (line_.isOpen()) {
        rts_.AfterSend(line_);
    }
}

bool SerialLineTransport::SetPortState(std::uint32_t speed) {
    if (speed > static_cast<std::uint32_t>(std::numeric_limits<qint32>::max())) {
        return false;
    }
    const bool lineSet =
        line_.setBaudRate(static_cast<qint32>(speed)) && line_.setDataBits(QSerialPort::Data8) &&
        line_.setParity(QSerialPort::NoParity) && line_.setStopBits(QSerialPort::OneStop) &&
        line_.setFlowControl(QSerialPort::NoFlowControl);
    if (!lineSet) {
        return false;
    }
    // A line without modem-control lines refuses DTR; it still carries bytes.
    line_.setDataTerminalReady(true);
    line_.clearError();
    rts_.Setup(line_);
    return true;
}

void SerialLineTransport::OnError(QSerialPort::SerialPortError error) {
    // Qt repeats these without end while a vanished device stays open.
    if (error == QSerialPort::ResourceError || error == QSerialPort::ReadError) {
        emit Vanished();
    }
}

}  // namespace brantel
