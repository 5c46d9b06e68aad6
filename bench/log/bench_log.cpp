// The traffic log at scale: appending to a full log, the memory a line takes, scrolling a full
// log by a page and finding over a million lines, on the real view (offscreen).
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <QApplication>
#include <QScrollBar>
#include <fstream>
#include <string>

#include "log/traffic_log.h"
#include "text/colours.h"

namespace {

constexpr std::size_t kLongRead = 255;

long ResidentKilobytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return 0;
}

// A log on show at the protocol page's size, ready, following its end.
struct ShownLog {
    ShownLog() {
        log.resize(783, 230);
        log.show();
        QCoreApplication::processEvents();
    }
    void Fill(std::size_t lines, std::size_t bytesPerLine) {
        const std::string read(bytesPerLine, '\xA5');
        for (std::size_t i = 0; i < lines; ++i) {
            log.LogHex(read, brantel::kReceivedBlue);
        }
        QCoreApplication::processEvents();
    }
    brantel::TrafficLog log{[] { return true; }};
};

// One 255-byte read (a 765-character line) appended to a log at its 64 MiB cap.
void BM_AppendToFullLog(benchmark::State& state) {
    ShownLog shown;
    shown.Fill(brantel::LineStore::kMaxBytes / kLongRead + 1000, kLongRead);
    const std::string read(kLongRead, '\x5A');
    for (auto _ : state) {
        shown.log.LogHex(read, brantel::kReceivedBlue);
    }
    state.counters["lines_held"] = shown.log.LineCount();
}
BENCHMARK(BM_AppendToFullLog)->Repetitions(5)->ReportAggregatesOnly(true);

// The same with the view brought up to date after each line, as a poll tick does.
void BM_AppendAndShow(benchmark::State& state) {
    ShownLog shown;
    shown.Fill(1000, kLongRead);
    const std::string read(kLongRead, '\x5A');
    for (auto _ : state) {
        shown.log.LogHex(read, brantel::kReceivedBlue);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_AppendAndShow)->Unit(benchmark::kMicrosecond);

// Memory per stored 255-byte read, the view on show: what the heap holds for the lines (the
// resident size can stay flat where freed memory of an earlier benchmark is used again), and
// the resident size when this benchmark runs alone.
void BM_MemoryPerLongLine(benchmark::State& state) {
    for (auto _ : state) {
        const long residentBefore = ResidentKilobytes();
        const std::size_t heapBefore = mallinfo2().uordblks;
        ShownLog shown;
        shown.Fill(250000, kLongRead);
        const double lines = shown.log.LineCount();
        state.counters["heap_bytes_per_line"] = (mallinfo2().uordblks - heapBefore) / lines;
        state.counters["rss_bytes_per_line"] =
            (ResidentKilobytes() - residentBefore) * 1024.0 / lines;
        state.counters["lines_held"] = lines;
    }
}
BENCHMARK(BM_MemoryPerLongLine)->Iterations(1)->Unit(benchmark::kMillisecond);

// A page down through a full log of long lines, painted.
void BM_PageDownFullLog(benchmark::State& state) {
    ShownLog shown;
    shown.Fill(brantel::LineStore::kMaxBytes / kLongRead, kLongRead);
    QScrollBar* bar = shown.log.verticalScrollBar();
    bar->setValue(0);
    for (auto _ : state) {
        bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        shown.log.viewport()->repaint();
    }
}
BENCHMARK(BM_PageDownFullLog)->Unit(benchmark::kMicrosecond);

// Find through a million short lines for text none of them holds.
void BM_FindOverMillionLines(benchmark::State& state) {
    ShownLog shown;
    for (int i = 0; i < 1000000; ++i) {
        if (i % 2 == 0) {
            shown.log.LogHex(std::string(20, static_cast<char>(i)), brantel::kReceivedBlue);
        } else {
            shown.log.LogLine("Port COM2: is Opened", brantel::kPortStatusGreen);
        }
    }
    QCoreApplication::processEvents();
    for (auto _ : state) {
        benchmark::DoNotOptimize(shown.log.Find("not there", false, true));
    }
    state.counters["lines_held"] = shown.log.LineCount();
}
BENCHMARK(BM_FindOverMillionLines)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
