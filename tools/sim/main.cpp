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
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "demo_device.h"
#include "sim_line.h"
#include "sim_options.h"
#include "table_sim.h"
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

// What answers the frames: the demo device, or a table's.
class Responder {
  public:
    explicit Responder(const brantel::sim::SimOptions& options) : demo_(options.address) {
        if (!options.table.empty()) {
            table_.emplace(options.table, options.rows,
                           options.addressGiven ? std::optional(options.address) : std::nullopt);
            for (const std::string& line : table_->Listing()) {
                std::fprintf(stderr, "brantel-sim: %s\n", line.c_str());
            }
        }
    }

    // The size of a whole frame at the start of `pending` that its length byte tells; 0 when
    // the line going quiet must end it.
    std::size_t FrameSize(std::string_view pending) const {
        return table_ ? table_->FrameSize(pending) : 0;
    }

    std::optional<std::string> Answer(std::string_view frame) {
        if (!table_) {
            return demo_.Answer(frame);
        }
        brantel::sim::TableSim::Reply reply = table_->Answer(frame);
        std::fprintf(stderr, "brantel-sim: %s\n", reply.line.c_str());
        return std::move(reply.bytes);
    }

  private:
    brantel::sim::DemoDevice demo_;
    std::optional<brantel::sim::TableSim> table_;
};

void Serve(const brantel::sim::SimOptions& options, const brantel::sim::SimLine& line,
           const Recording& recording, Responder& device) {
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
                // Frames back to back, each of the size its length byte says.
                while (const std::size_t size = device.FrameSize(pending)) {
                    if (const auto answer =
                            device.Answer(std::string_view(pending).substr(0, size))) {
                        line.Send(*answer);
                    }
                    pending.erase(0, size);
                }
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
        Responder device(options);
        const brantel::sim::SimLine line(options.link);
        std::printf("%s\n", line.DevicePath().c_str());
        std::fflush(stdout);
        Serve(options, line, recording, device);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "brantel-sim: %s\n", failure.what());
        return 1;
    }
    return 0;
}
