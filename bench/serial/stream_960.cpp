// bench_serial_stream [seconds]: a device streams 960 bytes a second (a 9600 baud line run
// full) for 60 s by default while the 100 ms poll reads it. Reports the CPU the polling thread
// used and whether every byte reached the log exactly once, in order.
#include <sys/resource.h>

#include <QCoreApplication>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "serial_bench_rig.h"

namespace {

using namespace std::chrono_literals;

constexpr int kBytesPerSecond = 960;
constexpr auto kChunkEvery = 25ms;
constexpr int kChunk = kBytesPerSecond / 40;

char StreamByte(std::size_t index) {
    return static_cast<char>(index * 31 % 251);
}

// Turns a logged hex line ("0A FF ") back into its bytes.
std::string BytesOfHexLine(const std::string& line) {
    std::string bytes;
    for (std::size_t i = 0; i + 2 <= line.size(); i += 3) {
        bytes.push_back(static_cast<char>(std::stoi(line.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

double ThreadCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;

    std::string logged;
    long lines = 0;
    brantel::bench::SerialBenchRig rig([&](const std::string& text, brantel::Colour colour) {
        if (colour == brantel::kReceivedBlue) {
            logged += BytesOfHexLine(text);
            ++lines;
        }
    });
    if (!rig.held) {
        std::fprintf(stderr, "bench_serial_stream: the pseudo-terminal port did not open\n");
        return 1;
    }

    std::atomic<bool> streaming = true;
    std::size_t sent = 0;
    std::thread device([&] {
        auto next = std::chrono::steady_clock::now();
        const auto end = next + std::chrono::seconds(seconds);
        while (next < end) {
            std::string chunk;
            for (int i = 0; i < kChunk; ++i) {
                chunk.push_back(StreamByte(sent++));
            }
            rig.device.Write(chunk);
            next += kChunkEvery;
            std::this_thread::sleep_until(next);
        }
        streaming = false;
    });

    QTimer poll;
    poll.setInterval(100);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (rig.connection.PortHandle() != nullptr) {
            rig.transfer.ReadBytes();
        }
        const bool drained =
            rig.connection.PortHandle() == nullptr ||
            (rig.InDriver() == 0 && brantel::test::HeldLine(rig.connection).bytesAvailable() == 0);
        if (!streaming && drained) {
            QCoreApplication::quit();
        }
    });
    const double cpuBefore = ThreadCpuSeconds();
    const auto wallBefore = std::chrono::steady_clock::now();
    poll.start();
    QCoreApplication::exec();
    device.join();
    const double cpu = ThreadCpuSeconds() - cpuBefore;
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();

    std::string expected;
    for (std::size_t i = 0; i < sent; ++i) {
        expected.push_back(StreamByte(i));
    }
    const bool whole = logged == expected;
    std::printf("streamed %zu bytes in %.1f s; logged %zu bytes in %ld lines\n", sent, wall,
                logged.size(), lines);
    std::printf("polling thread CPU: %.3f s = %.2f %% of one core\n", cpu, 100.0 * cpu / wall);
    std::printf("every byte logged once, in order: %s\n", whole ? "yes" : "NO");
    return whole ? 0 : 1;
}
