#include "serial/raw_transfer.h"

#include <QScopedValueRollback>

#include "serial/port_connection.h"

namespace brantel {

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
    PortTransport* port = port_.PortHandle();
    if (port == nullptr || data.empty()) {
        return 0;
    }
    port_.BeginSend();
    int sent = 0;
    for (std::size_t offset = 0; offset < data.size(); offset += kBufferSize) {
        const std::string_view piece = data.substr(offset, kBufferSize);
        const int written = port->Write(piece);
        sent += written;
        // A vanished device releases the port while it is written to.
        if (written < static_cast<int>(piece.size()) || port_.PortHandle() != port) {
            break;
        }
    }
    port_.EndSend();
    return sent;
}

std::string RawTransfer::Take() {
    PortTransport* port = port_.PortHandle();
    if (port == nullptr) {
        return {};
    }
    const QScopedValueRollback reading(reading_, true);
    return port->Read(kBufferSize);
}

}  // namespace brantel
