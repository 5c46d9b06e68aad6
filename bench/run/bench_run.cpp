// The runner's own time per row beyond the device's answer: a row of "A 02 L CRC" built, sent
// over a pseudo-terminal, answered by a device thread at once, collected until the quiet gap,
// judged and reported. Each iteration's time is the row's wall time less the configured gap
// and less the time the device took from the frame's last byte to its answer.
#include <benchmark/benchmark.h>
#include <poll.h>
#include <unistd.h>

#include <QCoreApplication>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "row_run.h"
#include "run_report.h"
#include "serial_line.h"
#include "support/pty_device.h"

namespace {

using namespace std::string_literals;
using Clock = std::chrono::steady_clock;

const std::vector<std::string> kStatusRow = {"Status", "A 02 L CRC", "A 02 L 00 01 01 CRC"};
const std::string kStatusFrame = "\x50\x02\x04\x56"s;
const std::string kStatusAnswer = "\x50\x02\x07\x00\x01\x01\x5B"s;

// Answers every status frame the moment its last byte arrives, and notes how long it took.
class AnsweringDevice {
  public:
    AnsweringDevice() : thread_([this] { Serve(); }) {}
    ~AnsweringDevice() {
        stop_ = true;
        thread_.join();
    }
    const std::string& Path() const { return line_.SlavePath(); }
    Clock::duration LastAnswerTime() const { return Clock::duration(answerTicks_.load()); }

  private:
    void Serve() {
        std::string pending;
        while (!stop_) {
            pollfd ready{line_.Master(), POLLIN, 0};
            if (poll(&ready, 1, 10) <= 0) {
                continue;
            }
            char buffer[256];
            const ssize_t got = read(line_.Master(), buffer, sizeof buffer);
            if (got <= 0) {
                continue;
            }
            pending.append(buffer, static_cast<std::size_t>(got));
            if (pending.size() >= kStatusFrame.size()) {
                const Clock::time_point received = Clock::now();
                pending.clear();
                if (write(line_.Master(), kStatusAnswer.data(), kStatusAnswer.size()) < 0) {
                    continue;
                }
                answerTicks_ = (Clock::now() - received).count();
            }
        }
    }

    brantel::test::RawPty line_;
    std::atomic<bool> stop_{false};
    std::atomic<Clock::rep> answerTicks_{0};
    std::thread thread_;
};

void BM_RowOverheadBeyondTheAnswer(benchmark::State& state) {
    brantel::AnswerLimits limits;
    limits.gap = std::chrono::milliseconds(state.range(0));
    AnsweringDevice device;
    brantel::run::SerialLine line(device.Path(), brantel::LineSettings{});
    if (!line.Open(2)) {
        state.SkipWithError("the pseudo-terminal did not open");
        return;
    }
    brantel::run::RunInputs inputs{"50", {}};
    benchmark::IterationCount passed = 0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        const brantel::run::RowOutcome outcome = brantel::run::RunRow(
            1, kStatusRow, inputs,
            [&](const std::string& frame) { return line.Exchange(frame, limits); });
        benchmark::DoNotOptimize(brantel::run::RowLine(outcome));
        const Clock::duration own = Clock::now() - start - limits.gap - device.LastAnswerTime();
        state.SetIterationTime(std::chrono::duration<double>(own).count());
        passed += outcome.result == brantel::run::RowResult::kPass ? 1 : 0;
    }
    if (passed != state.iterations()) {
        state.SkipWithError("a row did not pass");
    }
}
BENCHMARK(BM_RowOverheadBeyondTheAnswer)
    ->Arg(1)
    ->Arg(20)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

// The same row without a line: build, judge and report only.
void BM_RowWithoutTheLine(benchmark::State& state) {
    brantel::run::RunInputs inputs{"50", {}};
    for (auto _ : state) {
        const brantel::run::RowOutcome outcome =
            brantel::run::RunRow(1, kStatusRow, inputs, [](const std::string&) {
                return brantel::run::Answer{kStatusAnswer, "", false};
            });
        benchmark::DoNotOptimize(brantel::run::RowLine(outcome));
    }
}
BENCHMARK(BM_RowWithoutTheLine)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
