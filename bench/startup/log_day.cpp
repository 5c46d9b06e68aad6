// bench_log_day [BYTES_PER_READ [HOURS]]: a day of traffic on a 9600 baud line run full (960
// bytes a second for 24 hours, 82,944,000 bytes; HOURS gives another span) received by the whole
// main window, replayed as fast as the window takes it. A pseudo-terminal plays the device on COM2;
// before each poll tick it sends one read's worth of bytes (255 by default, the most one read
// takes, so the longest log lines), and the poll reads them, shows them in Edit1 and logs them as
// one hex line, with the protocol page on show. Prints, at every eighth of the span, the lines the
// log holds, the process's resident memory, its peak so far, and the heap the program holds (what
// malloc has handed out and not had back): once the log is at its cap the heap must stay flat.
// The last columns are the longest append of a line to the log so far, and the longest tick
// after the first: the read, its line in the log and in Edit1, and the window's repaint.
#include <malloc.h>
#include <sys/ioctl.h>

#include <QTabWidget>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "app/application.h"
#include "app/program_state.h"
#include "app/tform1.h"
#include "log/traffic_log.h"
#include "support/named.h"
#include "support/pty_device.h"
#include "support/serial_fixture.h"

namespace {

constexpr long long kBytesPerHour = 3600LL * 960;

long StatusKilobytes(const char* field) {
    std::ifstream status("/proc/self/status");
    const std::string prefix = std::string(field) + ":";
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(prefix, 0) == 0) {
            return std::stol(line.substr(prefix.size()));
        }
    }
    return -1;
}

double Mebibytes(long kilobytes) {
    return static_cast<double>(kilobytes) / 1024.0;
}

double HeapInUseMebibytes() {
    const struct mallinfo2 heap = mallinfo2();
    return static_cast<double>(heap.uordblks + heap.hblkhd) / (1024.0 * 1024.0);
}

void PrintRow(const std::string& when, long long reads, int held, double longestAppendMs,
              double longestTickMs) {
    std::printf("%-8s %10lld %12d %9.1f %10.1f %10.1f %10.3f %10.2f\n", when.c_str(), reads, held,
                Mebibytes(StatusKilobytes("VmRSS")), Mebibytes(StatusKilobytes("VmHWM")),
                HeapInUseMebibytes(), longestAppendMs, longestTickMs);
    std::fflush(stdout);
}

// Bytes the driver holds for the port.
int InDriver(const brantel::ProgramState& state) {
    int count = 0;
    ioctl(static_cast<int>(brantel::test::HeldLine(state.port).handle()), FIONREAD, &count);
    return count;
}

// The device's next read: bytes that vary, so no two log lines are alike.
std::string ReadBytes(long long first, int count) {
    std::string bytes(static_cast<std::size_t>(count), '\0');
    for (int i = 0; i < count; ++i) {
        bytes[static_cast<std::size_t>(i)] = static_cast<char>((first + i) * 167 % 256);
    }
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    brantel::Application app(argc, argv);
    const int perRead = argc > 1 ? std::atoi(argv[1]) : 255;
    const int hours = argc > 2 ? std::atoi(argv[2]) : 24;
    if (perRead < 1 || perRead > 255 || hours < 1 || hours > 24 * 365) {
        std::fputs("usage: bench_log_day [BYTES_PER_READ (1 to 255) [HOURS]]\n", stderr);
        return 2;
    }
    const long long totalBytes = kBytesPerHour * hours;
    brantel::test::PtyDevice device;
    QTemporaryDir folder;
    const std::string ini = folder.filePath("brantel.ini").toStdString();
    std::ofstream(ini) << "[Ports]\nCOM2=" << device.SlavePath() << "\n";

    brantel::ProgramState state;
    state.shell.locateIni = [&ini] { return ini; };
    brantel::TForm1 form(state);
    brantel::Application::RunReported([&form] { form.FormCreate(); });
    form.show();
    brantel::test::Named<QTabWidget>(form, "PageControl1")
        ->setCurrentWidget(brantel::test::Named<QWidget>(form, "TabSheet1"));
    QCoreApplication::processEvents();
    if (state.port.PortHandle() == nullptr) {
        std::fputs("bench_log_day: COM2 did not open\n", stderr);
        return 1;
    }

    std::printf("reads of %d bytes, %lld bytes (%d h at 960 byte/s)\n", perRead, totalBytes, hours);
    std::printf("%-8s %10s %12s %9s %10s %10s %10s %10s\n", "traffic", "reads", "lines held",
                "RSS MiB", "peak MiB", "heap MiB", "append ms", "tick ms");
    const auto* log = brantel::test::Named<brantel::TrafficLog>(form, "SerialMemo");
    // The log's own share of a tick: appending the read's line.
    double longestAppendMs = 0;
    const brantel::HexSink toLog = state.hexRoute;
    state.hexRoute = [&](const std::string& bytes, brantel::Colour colour) {
        const auto start = std::chrono::steady_clock::now();
        toLog(bytes, colour);
        longestAppendMs = std::max(longestAppendMs, std::chrono::duration<double, std::milli>(
                                                        std::chrono::steady_clock::now() - start)
                                                        .count());
    };
    PrintRow("start", 0, log->LineCount(), 0, 0);
    const auto began = std::chrono::steady_clock::now();
    long long sent = 0;
    long long reads = 0;
    double longestMs = 0;
    constexpr int kRows = 8;
    int row = 1;
    while (sent < totalBytes) {
        const int count = static_cast<int>(std::min<long long>(perRead, totalBytes - sent));
        device.Write(ReadBytes(sent, count));
        // The pseudo-terminal hands the bytes on asynchronously; the tick must find all of them.
        while (InDriver(state) < count) {
            std::this_thread::yield();
        }
        // A tick: the read, its log line, and the view brought up to date.
        const auto tick = std::chrono::steady_clock::now();
        form.Timer1Timer();
        QCoreApplication::processEvents();
        const double tickMs =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - tick)
                .count();
        // The first tick paints the first line and fills the font's caches: reported apart.
        if (reads == 0) {
            std::printf("first tick: %.2f ms\n", tickMs);
        } else {
            longestMs = std::max(longestMs, tickMs);
        }
        sent += count;
        ++reads;
        if (sent * kRows >= totalBytes * row) {
            char when[16];
            std::snprintf(when, sizeof when, "%g h", static_cast<double>(row * hours) / kRows);
            PrintRow(when, reads, log->LineCount(), longestAppendMs, longestMs);
            ++row;
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    std::printf("%lld reads replayed in %.0f s (%.0f reads/s)\n", reads, seconds,
                static_cast<double>(reads) / seconds);
    return 0;
}
