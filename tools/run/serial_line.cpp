#include "serial_line.h"

#include <QCoreApplication>
#include <QTimer>
#include <optional>

namespace brantel::run {
namespace {

// Received bytes reach the transport through the event loop, as they do in the window: runs it
// until something happens (bytes, the line going away) or `wait` passes.
void WaitForInput(std::chrono::milliseconds wait) {
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    wake.start(wait);
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

}  // namespace

SerialLine::SerialLine(std::string device)
    : device_(std::move(device)),
      port_([](const std::string&, Colour) {},
            [this](int) -> std::optional<std::string> { return device_; }),
      transfer_(
          port_, [](const std::string&, Colour) {}, [](const std::string&) {}) {}

bool SerialLine::Open(int number) {
    return port_.OpenPort(number, 9600);
}

const std::string& SerialLine::OpenFailure() const {
    return port_.OpenFailure();
}

std::string SerialLine::Exchange(const std::string& frame, std::chrono::milliseconds timeout,
                                 std::chrono::milliseconds gap) {
    using Clock = std::chrono::steady_clock;
    while (!transfer_.ReadBytes().empty()) {
    }
    transfer_.WriteBytes(frame);
    const Clock::time_point sent = Clock::now();
    Clock::time_point lastByte = sent;
    std::string answer;
    for (;;) {
        const std::string& bytes = transfer_.ReadBytes();
        if (!bytes.empty()) {
            answer += bytes;
            lastByte = Clock::now();
            continue;
        }
        const Clock::time_point end = answer.empty() ? sent + timeout : lastByte + gap;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now());
        if (left.count() <= 0 || port_.PortHandle() == nullptr) {
            return answer;
        }
        WaitForInput(left);
    }
}

}  // namespace brantel::run
