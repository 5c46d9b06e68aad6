#include "support/threaded_device.h"

#include "support/pty_device.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <unistd.h>

#include <fstream>
#include <stdexcept>

namespace brantel::test {

DeviceScript Sending(std::string bytes, std::size_t slice, std::chrono::milliseconds interval) {
    DeviceScript script;
    script.send = std::move(bytes);
    script.slice = slice;
    script.interval = interval;
    return script;
}

DeviceScript Flooding(std::chrono::milliseconds duration) {
    // Whole periods of the pattern, so the repeated block continues it seamlessly.
    DeviceScript script = Sending(PatternBytes(4 * 251));
    script.floodFor = duration;
    return script;
}

DeviceScript ThenVanishing(DeviceScript script) {
    script.vanish = true;
    return script;
}

DeviceScript TakingThenVanishing(std::size_t count) {
    DeviceScript script;
    script.receive = count;
    script.vanish = true;
    return script;
}

ThreadedDevice::ThreadedDevice() {
    fcntl(line_.Master(), F_SETFL, fcntl(line_.Master(), F_GETFL) | O_NONBLOCK);
}

ThreadedDevice::~ThreadedDevice() {
    stop_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
}

void ThreadedDevice::Run(DeviceScript script) {
    if (thread_.joinable()) {
        throw std::logic_error("a threaded device plays one script");
    }
    thread_ = std::thread([this, script = std::move(script)] {
        Play(script);
        finished_ = true;
    });
}

std::string ThreadedDevice::Received() const {
    const std::lock_guard lock(receivedMutex_);
    return received_;
}

void ThreadedDevice::Play(const DeviceScript& script) {
    const auto start = std::chrono::steady_clock::now();
    Take(script.receive);
    const std::size_t slice = script.slice == 0 ? script.send.size() : script.slice;
    auto next = start;
    for (std::size_t offset = 0; offset < script.send.size() && !stop_; offset += slice) {
        std::this_thread::sleep_until(next);
        Put(std::string_view(script.send).substr(offset, slice));
        next += script.interval;
    }
    while (!stop_ && std::chrono::steady_clock::now() - start < script.floodFor) {
        Put(script.send);
    }
    if (script.vanish && !stop_) {
        line_.Close();
    }
}

void ThreadedDevice::Take(std::size_t count) {
    char buffer[4096];
    while (count > 0 && WaitReady(POLLIN)) {
        const ssize_t got = ::read(line_.Master(), buffer, std::min(sizeof buffer, count));
        if (got > 0) {
            const std::lock_guard lock(receivedMutex_);
            received_.append(buffer, static_cast<std::size_t>(got));
            count -= static_cast<std::size_t>(got);
        }
    }
}

void ThreadedDevice::Put(std::string_view bytes) {
    while (!bytes.empty() && WaitReady(POLLOUT)) {
        const ssize_t put = ::write(line_.Master(), bytes.data(), bytes.size());
        if (put > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(put));
            sent_ += static_cast<std::size_t>(put);
        }
    }
}

bool ThreadedDevice::WaitReady(short events) const {
    while (!stop_) {
        pollfd line{line_.Master(), events, 0};
        if (poll(&line, 1, 20) > 0) {
            return true;
        }
    }
    return false;
}

std::chrono::microseconds ProcessCpuTime() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto micros = [](const timeval& t) {
        return std::chrono::seconds(t.tv_sec) + std::chrono::microseconds(t.tv_usec);
    };
    return micros(usage.ru_utime) + micros(usage.ru_stime);
}

std::size_t ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    std::size_t total = 0;
    std::size_t resident = 0;
    statm >> total >> resident;
    return resident * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

std::string PatternBytes(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>(i % 251);
    }
    return bytes;
}

}  // namespace brantel::test
