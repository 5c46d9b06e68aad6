#include "serial/rfc2217_transport.h"

#include <algorithm>
#include <thread>

#include "serial/device_io.h"

namespace brantel {
namespace {

// Data the server sends while the line is being set up is kept up to this much; more than
// that came at the line's earlier settings.
constexpr std::size_t kHeldWhileOpening = 4096;

}  // namespace

bool Rfc2217Transport::Configure(const LineSettings& line) {
    line_ = line;
    client_ = std::make_unique<ComPortClient>(line);
    Send(client_->Start());
    const bool answered = WaitFor([this] {
        Receive(socket_.bytesAvailable());
        if (held_.size() > kHeldWhileOpening) {
            held_.erase(0, held_.size() - kHeldWhileOpening);
        }
        return client_->LineState() != ComPortClient::Line::kPending;
    });
    if (!answered) {
        return false;
    }
    if (client_->LineState() == ComPortClient::Line::kRefused) {
        failure_ =
            "the server did not run the line at " + DescribeLineSettings(line) + " over RFC 2217";
        lineRefused_ = true;
        return false;
    }
    return true;
}

int Rfc2217Transport::Write(std::string_view piece) {
    const std::string encoded = client_->Encode(piece);
    if (!WriteWithin(socket_, encoded, WriteDeadline(piece.size()))) {
        return 0;
    }
    if (line_.speed > 0) {
        const auto lineTime = std::chrono::microseconds(
            static_cast<std::int64_t>(piece.size()) * HalfBitsPerCharacter(line_) * 1000000 /
            (2 * static_cast<std::int64_t>(line_.speed)));
        lineFreeAt_ = std::max(lineFreeAt_, Clock::now()) + lineTime;
    }
    return static_cast<int>(piece.size());
}

std::string Rfc2217Transport::Read(int most) {
    const auto wanted = static_cast<std::size_t>(most);
    if (held_.size() < wanted) {
        FetchPending(socket_, socket_.socketDescriptor(), most);
        // Decoding never makes more data than it takes in, so reading what is missing never
        // leaves more than `most` bytes held.
        while (held_.size() < wanted && socket_.bytesAvailable() > 0 && Connected()) {
            Receive(static_cast<qint64>(wanted - held_.size()));
        }
    }
    std::string taken = held_.substr(0, wanted);
    held_.erase(0, taken.size());
    return taken;
}

void Rfc2217Transport::BeforeSend() {
    Send(ComPortClient::SetRts(true));
}

void Rfc2217Transport::AfterSend() {
    // RTS drops once the server's line has sent the bytes, as a local line waits for its
    // driver to drain.
    std::this_thread::sleep_until(lineFreeAt_);
    Send(ComPortClient::SetRts(false));
}

void Rfc2217Transport::Receive(qint64 most) {
    const QByteArray bytes = socket_.read(most);
    client_->Receive(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                     held_);
    Send(client_->TakeOutgoing());
}

}  // namespace brantel
