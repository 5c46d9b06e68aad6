// Appending to the traffic log: time per line, scrolling included, and the process's memory
// once the log holds its cap of lines.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <fstream>
#include <string>

#include "log/traffic_log.h"
#include "text/colours.h"
#include "text/hex_line.h"

namespace {

long ResidentKilobytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return 0;
}

void AppendLines(benchmark::State& state, const std::string& line) {
    brantel::TrafficLog log([] { return true; });
    log.resize(783, 230);
    log.show();
    for (auto _ : state) {
        log.LogLine(line, brantel::kReceivedBlue);
    }
    state.counters["lines_held"] = log.LineCount();
}

void BM_LongHexLine(benchmark::State& state) {
    AppendLines(state, brantel::HexLine(std::string(255, '\xA5')));
}
BENCHMARK(BM_LongHexLine);

void BM_ShortLine(benchmark::State& state) { AppendLines(state, std::string(30, 'A')); }
BENCHMARK(BM_ShortLine);

// Fills the log well past its cap with long lines and reports the resident memory.
void BM_MemoryAtCap(benchmark::State& state) {
    const std::string line = brantel::HexLine(std::string(255, '\x5A'));
    for (auto _ : state) {
        brantel::TrafficLog log([] { return true; });
        const long before = ResidentKilobytes();
        for (int i = 0; i < brantel::TrafficLog::kMaxLines + 20000; ++i) {
            log.LogLine(line, brantel::kSentRed);
        }
        state.counters["rss_growth_MiB"] = (ResidentKilobytes() - before) / 1024.0;
        state.counters["rss_MiB"] = ResidentKilobytes() / 1024.0;
        state.counters["lines_held"] = log.LineCount();
    }
}
BENCHMARK(BM_MemoryAtCap)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
