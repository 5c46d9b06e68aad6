// brantel-sim: a simulated serial device on a pseudo-terminal, for trying the program and its
// tests without hardware. See docs/simulator.md.
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include "demo_device.h"
#include "sim_line.h"
#include "sim_options.h"

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

void Serve(const brantel::sim::SimOptions& options, const brantel::sim::SimLine& line) {
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
    InstallStopHandlers();
    try {
        const brantel::sim::SimLine line(options.link);
        std::printf("%s\n", line.DevicePath().c_str());
        std::fflush(stdout);
        Serve(options, line);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "brantel-sim: %s\n", failure.what());
        return 1;
    }
    return 0;
}
