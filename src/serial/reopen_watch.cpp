#include "serial/reopen_watch.h"

#include <filesystem>
#include <system_error>

#include "platform/port_address.h"

namespace brantel {
namespace {

constexpr int kLookIntervalMs = 250;
constexpr int kLooksBeforeOpen = 2;

}  // namespace

ReopenWatch::ReopenWatch(std::function<void()> reopen, QObject* parent)
    : QObject(parent), reopen_(std::move(reopen)) {
    timer_.setInterval(kLookIntervalMs);
    connect(&timer_, &QTimer::timeout, this, &ReopenWatch::Look);
}

void ReopenWatch::Watch(const std::string& device) {
    const std::optional<PortAddress> address = ParsePortAddress(device);
    if (!address || address->kind != PortAddress::Kind::kLocal) {
        Stop();
        return;
    }
    device_ = address->path;
    seen_ = 0;
    timer_.start();
}

void ReopenWatch::Stop() {
    timer_.stop();
    seen_ = 0;
}

void ReopenWatch::Look() {
    std::error_code error;
    seen_ = std::filesystem::exists(device_, error) ? seen_ + 1 : 0;
    if (seen_ >= kLooksBeforeOpen) {
        Stop();
        reopen_();
    }
}

}  // namespace brantel
