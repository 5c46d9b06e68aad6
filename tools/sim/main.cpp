// brantel-sim: a simulated serial device on a pseudo-terminal, for trying the program and its
// tests without hardware. See docs/simulator.md.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include "demo_device.h"
#include "sim_line.h"
#include "sim_options.h"
#include "version/version.h"

namespace {

using Clock = std::chrono::steady_clock;

// A frame can never be longer than its one-byte length says; beyond this a stream is cut.
constexpr std::size_t kMaxPending = 1024;
constexpr int kIdlePollMs = 500;

volatile std::sig_atomic_t stopRequested = 0;

void RequestStop(int) {
    stopRequested = 1;
}

void InstallStopHandlers() {
    struct sigaction action {};
    action.sa_handler = RequestStop;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: the stop interrupts the wait for bytes.
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

// The file that --record names: every received byte goes straight through to it, so a test
// watching the file sees each read as soon as the simulator has it. Appending lets the watcher
// empty the file between steps.
class Recording {
  public:
    explicit Recording(const std::string& path) {
        if (path.empty()) {
            return;
        }
        fd_ = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644);
        if (fd_ < 0) {
            throw std::runtime_error("cannot record to " + path + ": " + std::strerror(errno));
        }
    }
    ~Recording() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    Recording(const Recording&) = delete;
    Recording& operator=(const Recording&) = delete;

    void Add(const std::string& bytes) const {
        for (std::size_t done = 0; fd_ >= 0 && done < bytes.size();) {
            const ssize_t put = write(fd_, bytes.data() + done, bytes.size() - done);
            if (put < 0 && errno != EINTR) {
                throw std::runtime_error(std::string("recording failed: ") + std::strerror(errno));
            }
            done += static_cast<std::size_t>(std::max<ssize_t>(put, 0));
        }
    }

  private:
    int fd_ = -1;
};

void Serve(const brantel::sim::SimOptions& options, const brantel::sim::SimLine& line,
           const Recording& recording) {
    brantel::sim::DemoDevice device(options.address);
    std::string pending;
    Clock::time_point lastByte{};
    while (stopRequested == 0) {
        int timeout = kIdlePollMs;
        if (!pending.empty()) {
            const auto idle =
                std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - lastByte);
            timeout = static_cast<int>(std::max<std::int64_t>(0, (options.gap - idle).count()));
        }
        pollfd readable{line.Master(), POLLIN, 0};
        const int ready = poll(&readable, 1, timeout);
        if (ready < 0 && errno != EINTR) {
            throw std::runtime_error("waiting for bytes failed");
        }
        if (ready > 0 && (readable.revents & POLLIN) != 0) {
            char buffer[512];
            const ssize_t got = read(line.Master(), buffer, sizeof buffer);
            if (got > 0) {
                const std::string bytes(buffer, static_cast<std::size_t>(got));
                recording.Add(bytes);
                if (options.echo) {
                    line.Send(bytes);
                    continue;
                }
                pending += bytes;
                lastByte = Clock::now();
            }
        }
        const bool frameEnded = !pending.empty() && (Clock::now() - lastByte >= options.gap ||
                                                     pending.size() >= kMaxPending);
        if (frameEnded) {
            if (const auto answer = device.Answer(pending)) {
                line.Send(*answer);
            }
            pending.clear();
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    const auto parsed =
        brantel::sim::ParseSimOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (const auto* error = std::get_if<std::string>(&parsed)) {
        std::fprintf(stderr, "brantel-sim: %s\n%s", error->c_str(), brantel::sim::kUsage);
        return 2;
    }
    const auto& options = std::get<brantel::sim::SimOptions>(parsed);
    if (options.help) {
        std::fputs(brantel::sim::kUsage, stdout);
        return 0;
    }
    if (options.version) {
        std::fputs(brantel::VersionLine("brantel-sim").c_str(), stdout);
        return 0;
    }
    InstallStopHandlers();
    try {
        const Recording recording(options.record);
        const brantel::sim::SimLine line(options.link);
        std::printf("%s\n", line.DevicePath().c_str());
        std::fflush(stdout);
        Serve(options, line, recording);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "brantel-sim: %s\n", failure.what());
        return 1;
    }
    return 0;
}
