#include "serial_line.h"

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <optional>

#include "platform/port_address.h"
#include "serial/tcp_transport.h"

namespace brantel::run {
namespace {

using Clock = std::chrono::steady_clock;

// A server that closes at once is tried this often, this far apart.
constexpr int kOpenAttempts = 10;
constexpr std::chrono::milliseconds kOpenRetryWait(200);
// A raw TCP connection to a server that still holds the device is accepted, then closed at
// once; this long after the open the run takes the connection as kept.
constexpr std::chrono::milliseconds kServerSettle(100);

// Received bytes reach the transport through the event loop, as they do in the window: runs it
// until something happens (bytes, the line going away, a signal) or `wait` passes.
void WaitForInput(std::chrono::milliseconds wait) {
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    wake.start(wait);
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

}  // namespace

SerialLine::SerialLine(std::string device, const LineSettings& line)
    : device_(std::move(device)),
      line_(line),
      port_([](const std::string&, Colour) {},
            [this](int) -> std::optional<std::string> { return device_; }),
      transfer_(
          port_, [](const std::string&, Colour) {}, [](const std::string&) {}) {}

bool SerialLine::Open(int number) {
    for (int attempt = 1;; ++attempt) {
        closedAtOnce_.clear();
        bool mayPass = false;
        if (port_.OpenPort(number, line_)) {
            if (KeptOpen()) {
                return true;
            }
            closedAtOnce_ = device_ + ": the server closed the connection at once" +
                            std::string(TcpTransport::kServerStillHolds);
            mayPass = true;
        } else {
            mayPass = port_.OpenFailureMayPass();
        }
        if (stopped_ || attempt == kOpenAttempts || !mayPass) {
            return false;
        }
        const Clock::time_point until = Clock::now() + kOpenRetryWait;
        while (!stopped_ && Clock::now() < until) {
            WaitForInput(std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now()));
        }
    }
}

const std::string& SerialLine::OpenFailure() const {
    return closedAtOnce_.empty() ? port_.OpenFailure() : closedAtOnce_;
}

bool SerialLine::KeptOpen() {
    const std::optional<PortAddress> address = ParsePortAddress(device_);
    if (!address || address->kind == PortAddress::Kind::kLocal) {
        return true;
    }
    const Clock::time_point until = Clock::now() + kServerSettle;
    while (port_.PortHandle() != nullptr && !stopped_ && Clock::now() < until) {
        WaitForInput(std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now()));
    }
    return port_.PortHandle() != nullptr;
}

void SerialLine::Stop() {
    stopped_ = true;
    if (port_.PortHandle() == nullptr) {
        // An open may be under way; closing gives it up.
        port_.ClosePort();
    }
}

Answer SerialLine::Exchange(const std::string& frame, const AnswerLimits& limits) {
    Answer answer;
    std::size_t drained = 0;
    // What came between two rows belongs to neither; a flood is left to the answer's limits.
    for (std::size_t dropped = 0; dropped < limits.mostBytes;) {
        const std::string& bytes = transfer_.ReadBytes();
        if (bytes.empty()) {
            break;
        }
        dropped += bytes.size();
    }
    transfer_.WriteBytes(frame);
    const Clock::time_point sent = Clock::now();
    std::optional<Clock::time_point> firstByte;
    Clock::time_point lastByte = sent;
    for (;;) {
        if (stopped_ || port_.PortHandle() == nullptr) {
            answer.fault = stopped_ ? "interrupted" : "port lost";
            answer.endsRun = true;
            return answer;
        }
        const Clock::time_point now = Clock::now();
        if (!firstByte || now - *firstByte < limits.longest) {
            const std::string& bytes = transfer_.ReadBytes();
            if (!bytes.empty()) {
                firstByte = firstByte.value_or(now);
                lastByte = now;
                drained += TakeWithin(bytes, limits.mostBytes, answer.bytes);
                continue;
            }
        }
        const Clock::time_point end =
            firstByte ? std::min(lastByte + limits.gap, *firstByte + limits.longest)
                      : sent + limits.timeout;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - now);
        if (left.count() <= 0) {
            break;
        }
        WaitForInput(left);
    }
    answer.fault = AnswerFault(firstByte && lastByte + limits.gap > *firstByte + limits.longest,
                               drained, limits);
    return answer;
}

}  // namespace brantel::run
