#include "serial/serial_line_transport.h"

#include <limits>

#include "serial/device_io.h"

namespace brantel {
namespace {

// Input read from the driver but not yet taken by a poll: a few polls' worth.
constexpr qint64 kHeldInputBytes = 4096;

// A POSIX line has one or two stop bits; Qt would run 1.5 there as one without a word.
#ifdef _WIN32
constexpr bool kHasHalfStopBit = true;
#else
constexpr bool kHasHalfStopBit = false;
#endif

QSerialPort::Parity QtParity(LineSettings::Parity parity) {
    switch (parity) {
        case LineSettings::Parity::kEven:
            return QSerialPort::EvenParity;
        case LineSettings::Parity::kOdd:
            return QSerialPort::OddParity;
        case LineSettings::Parity::kMark:
            return QSerialPort::MarkParity;
        case LineSettings::Parity::kSpace:
            return QSerialPort::SpaceParity;
        case LineSettings::Parity::kNone:
            break;
    }
    return QSerialPort::NoParity;
}

QSerialPort::StopBits QtStopBits(LineSettings::StopBits stopBits) {
    switch (stopBits) {
        case LineSettings::StopBits::kOneAndHalf:
            return QSerialPort::OneAndHalfStop;
        case LineSettings::StopBits::kTwo:
            return QSerialPort::TwoStop;
        case LineSettings::StopBits::kOne:
            break;
    }
    return QSerialPort::OneStop;
}

QSerialPort::FlowControl QtFlow(LineSettings::Flow flow) {
    switch (flow) {
        case LineSettings::Flow::kRtsCts:
            return QSerialPort::HardwareControl;
        case LineSettings::Flow::kXonXoff:
            return QSerialPort::SoftwareControl;
        case LineSettings::Flow::kNone:
            break;
    }
    return QSerialPort::NoFlowControl;
}

}  // namespace

SerialLineTransport::SerialLineTransport(const std::string& device) {
    line_.setPortName(QString::fromLocal8Bit(device.c_str()));
    // Qt would otherwise read everything a fast device sends into memory of its own; what the
    // poll has not taken waits in the driver instead.
    line_.setReadBufferSize(kHeldInputBytes);
}

bool SerialLineTransport::Open(const LineSettings& line) {
    failure_.clear();
    lineRefused_ = false;
    if (!line_.open(QIODevice::ReadWrite)) {
        failure_ = line_.errorString().toLocal8Bit().toStdString();
        return false;
    }
    const std::string refused = SetPortState(line);
    if (!refused.empty()) {
        failure_ = "the line refused " + refused + " (" + LineSettingsText(line) + ")";
        lineRefused_ = true;
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

std::string SerialLineTransport::SetPortState(const LineSettings& line) {
    const std::string speed = std::to_string(line.speed) + " baud";
    if (line.speed > static_cast<std::uint32_t>(std::numeric_limits<qint32>::max()) ||
        !line_.setBaudRate(static_cast<qint32>(line.speed))) {
        return speed;
    }
    if (!line_.setDataBits(static_cast<QSerialPort::DataBits>(line.dataBits))) {
        return std::to_string(line.dataBits) + " data bits";
    }
    if (!line_.setParity(QtParity(line.parity))) {
        return std::string(ParityText(line.parity));
    }
    if ((!kHasHalfStopBit && line.stopBits == LineSettings::StopBits::kOneAndHalf) ||
        !line_.setStopBits(QtStopBits(line.stopBits))) {
        return std::string(StopBitsText(line.stopBits)) + " stop bits";
    }
    if (!line_.setFlowControl(QtFlow(line.flow))) {
        return std::string(FlowText(line.flow));
    }
    // A line without modem-control lines refuses DTR; it still carries bytes.
    line_.setDataTerminalReady(true);
    line_.clearError();
    rts_.Setup(line_);
    return {};
}

void SerialLineTransport::OnError(QSerialPort::SerialPortError error) {
    // Qt repeats these without end while a vanished device stays open.
    if (error == QSerialPort::ResourceError || error == QSerialPort::ReadError) {
        emit Vanished();
    }
}

}  // namespace brantel
