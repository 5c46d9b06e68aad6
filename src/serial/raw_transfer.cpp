#include "serial/raw_transfer.h"

#include <sys/ioctl.h>

#include <QDeadlineTimer>

#include "serial/port_connection.h"

namespace brantel {
namespace {

// Bytes the driver has received that Qt has not fetched yet.
int PendingInDriver(const QSerialPort& port) {
    int pending = 0;
    if (ioctl(static_cast<int>(port.handle()), FIONREAD, &pending) != 0) {
        return 0;
    }
    return pending;
}

}  // namespace

std::string_view ReceivedText(std::string_view received) {
    return received.substr(0, received.find('\0'));
}

RawTransfer::RawTransfer(PortConnection& port, HexSink log,
                         std::function<void(const std::string&)> showReceived)
    : port_(port), log_(std::move(log)), showReceived_(std::move(showReceived)) {}

int RawTransfer::WriteBytes(const std::string& data) {
    const int sent = Send(data);
    // The line shows what was handed over, whatever reached the device.
    if (!data.empty()) {
        log_(data, kSentRed);
    }
    return sent;
}

const std::string& RawTransfer::ReadBytes() {
    lastReceived_ = Take();
    if (!lastReceived_.empty()) {
        showReceived_(std::string(ReceivedText(lastReceived_)));
        log_(lastReceived_, kReceivedBlue);
    }
    return lastReceived_;
}

int RawTransfer::Send(std::string_view data) {
    QSerialPort* port = port_.PortHandle();
    if (port == nullptr || data.empty()) {
        return 0;
    }
    port_.BeginSend();
    int sent = 0;
    for (std::size_t offset = 0; offset < data.size(); offset += kBufferSize) {
        const std::string_view piece = data.substr(offset, kBufferSize);
        const int written = SendPiece(*port, piece);
        sent += written;
        // A vanished device releases the port while it is written to.
        if (written < static_cast<int>(piece.size()) || port_.PortHandle() != port) {
            break;
        }
    }
    port_.EndSend();
    return sent;
}

int RawTransfer::SendPiece(QSerialPort& port, std::string_view piece) {
    const auto size = static_cast<qint64>(piece.size());
    if (port.write(piece.data(), size) != size) {
        return 0;
    }
    // A write of n bytes waits at most 2n + 2 ms for them to leave.
    const QDeadlineTimer deadline(2 * size + 2);
    while (port.isOpen() && port.bytesToWrite() > 0 &&
           port.waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) {
    }
    if (!port.isOpen()) {
        return 0;
    }
    const qint64 left = port.bytesToWrite();
    if (left > 0) {
        // What missed its time stays unsent rather than trickling out behind later writes.
        port.clear(QSerialPort::Output);
    }
    return static_cast<int>(size - left);
}

std::string RawTransfer::Take() {
    QSerialPort* port = port_.PortHandle();
    if (port == nullptr) {
        return {};
    }
    // Received bytes reach Qt's buffer through the event loop; fetch what the driver holds now.
    if (port->bytesAvailable() < kBufferSize && PendingInDriver(*port) > 0) {
        port->waitForReadyRead(0);
    }
    if (port_.PortHandle() != port) {
        return {};
    }
    return port->read(kBufferSize).toStdString();
}

}  // namespace brantel
