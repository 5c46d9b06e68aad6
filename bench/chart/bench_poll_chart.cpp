// bench_poll_chart [SECONDS]: the whole main window polling one row every 100 ms against
// brantel-sim on COM2, the answers' four fields bound to the chart's four series, measured for
// SECONDS (60 by default) in four cases: the protocol page on show (the chart hidden) and the
// "Графики" page on show, each with the chart's values only from the poll and after its store was
// filled directly with a day (4 series x 864,000 values at 10 a second). For each case: the
// process's CPU (user and system time over wall time) as a share of one core, the longest stall
// of the event loop (the longest gap between the ticks of a 1 ms timer, less its interval, with
// the main thread's CPU time within it) and the answers whose fields reached the chart. The
// simulator is a process of its own, so its CPU is not counted.
#include <time.h>

#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/program_state.h"
#include "app/tform1.h"
#include "support/named.h"
#include "support/serial_fixture.h"
#include "support/threaded_device.h"
#include "widgets/chart_feed.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kWarmUpMs = 3000;
constexpr double kDaySeconds = 24 * 3600;
constexpr int kValuesPerSecond = 10;

// Row 1 reads the simulator's slow wave (register F0); the answer's register byte and three bit
// fields of its value byte give each series a field of its own.
constexpr char kIniTail[] =
    "[Main]\n"
    "Command1=Wave;A 03 L R CRC;50 03 06 R:U8 HI:B4-7 MID:B2-3 LO:B0-1 CRC;$F0\n"
    "[Poll]\nRows=1\nIntervalMs=100\nWaitForAnswer=1\nStartWhenOpen=1\n"
    "[Charts]\n"
    "Series1Row=1\nSeries1Field=R\n"
    "Series2Row=1\nSeries2Field=HI\n"
    "Series3Row=1\nSeries3Field=MID\n"
    "Series4Row=1\nSeries4Field=LO\n";

struct Case {
    const char* name;
    bool chartShown;
    bool day;
};

struct Figures {
    double cpuPercent = 0;
    double longestStallMs = 0;
    double stallCpuMs = 0;
    int answers = 0;
};

// The main thread's CPU time so far.
std::chrono::duration<double, std::milli> ThreadCpu() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

// The longest time the event loop kept a 1 ms timer waiting beyond its interval, and how much
// of it the main thread spent on a CPU: little of it means the process waited for a core.
class StallMeter {
  public:
    StallMeter() {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const Clock::time_point now = Clock::now();
            const auto cpu = ThreadCpu();
            const double gapMs = std::chrono::duration<double, std::milli>(now - last_).count();
            if (gapMs - 1.0 > longestMs_) {
                longestMs_ = gapMs - 1.0;
                longestCpuMs_ = (cpu - lastCpu_).count();
            }
            last_ = now;
            lastCpu_ = cpu;
        });
    }
    void Start() {
        last_ = Clock::now();
        lastCpu_ = ThreadCpu();
        longestMs_ = 0;
        longestCpuMs_ = 0;
        timer_.start();
    }
    double LongestMs() const { return longestMs_; }
    double LongestCpuMs() const { return longestCpuMs_; }

  private:
    QTimer timer_;
    Clock::time_point last_;
    std::chrono::duration<double, std::milli> lastCpu_{};
    double longestMs_ = 0;
    double longestCpuMs_ = 0;
};

void RunFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// A day of the four series at 10 values a second, a wave like the simulator's.
void FillDay(brantel::ChartSamples& samples) {
    const int count = static_cast<int>(kDaySeconds) * kValuesPerSecond;
    for (std::size_t s = 0; s < samples.SeriesCount(); ++s) {
        for (int i = 0; i < count; ++i) {
            const double t = i / static_cast<double>(kValuesPerSecond);
            samples.Append(s, t, 128 + 100 * std::sin(2 * std::numbers::pi * t / 60) + s);
        }
    }
}

Figures Measure(const Case& which, const std::string& link, int seconds) {
    QTemporaryDir folder;
    const std::string ini = folder.filePath("brantel.ini").toStdString();
    std::ofstream(ini) << "[Ports]\nCOM2=" << link << "\n" << kIniTail;

    brantel::ProgramState state;
    state.shell.locateIni = [&ini] { return ini; };
    brantel::TForm1 form(state);
    brantel::Application::RunReported([&form] { form.FormCreate(); });
    form.show();
    brantel::test::Named<QTabWidget>(form, "PageControl1")
        ->setCurrentWidget(
            brantel::test::Named<QWidget>(form, which.chartShown ? "TabSheet2" : "TabSheet1"));
    if (state.port.PortHandle() == nullptr) {
        std::fputs("bench_poll_chart: COM2 did not open\n", stderr);
        std::exit(1);
    }
    brantel::ChartFeed& chart = *form.Charts();
    int answers = 0;
    QObject::connect(&form, &brantel::TForm1::FieldsRead, [&answers] { ++answers; });
    if (which.day) {
        // The poll's values go on after the day, at its end plus their time since the fill.
        FillDay(chart.Samples());
        QObject::disconnect(&form, &brantel::TForm1::FieldsRead, &chart,
                            &brantel::ChartFeed::AddValues);
        const Clock::time_point filled = Clock::now();
        QObject::connect(
            &form, &brantel::TForm1::FieldsRead, &chart,
            [&chart, filled](int row, const std::vector<brantel::ReadValue>& values) {
                chart.AddValuesAt(
                    row, values,
                    kDaySeconds + std::chrono::duration<double>(Clock::now() - filled).count());
            });
        chart.RedrawNow();
    }
    RunFor(kWarmUpMs);

    StallMeter stalls;
    answers = 0;
    const std::chrono::microseconds cpuBefore = brantel::test::ProcessCpuTime();
    const Clock::time_point began = Clock::now();
    stalls.Start();
    RunFor(seconds * 1000);
    const double wall = std::chrono::duration<double>(Clock::now() - began).count();
    const double cpu =
        std::chrono::duration<double>(brantel::test::ProcessCpuTime() - cpuBefore).count();
    return {100 * cpu / wall, stalls.LongestMs(), stalls.LongestCpuMs(), answers};
}

}  // namespace

int main(int argc, char** argv) {
    brantel::Application app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    if (seconds < 1) {
        std::fputs("usage: bench_poll_chart [SECONDS]\n", stderr);
        return 2;
    }
    QTemporaryDir folder;
    const std::string link = folder.filePath("com2").toStdString();
    QProcess sim;
    sim.start(BRANTEL_SIM_EXE, {"--link", QString::fromStdString(link)});
    if (!brantel::test::WaitUntil([&] { return QFileInfo::exists(QString::fromStdString(link)); },
                                  5000)) {
        std::fputs("bench_poll_chart: brantel-sim made no link\n", stderr);
        return 1;
    }
    const Case cases[] = {
        {"chart hidden", false, false},
        {"chart shown", true, false},
        {"chart hidden, a day kept", false, true},
        {"chart shown, a day kept", true, true},
    };
    for (const Case& which : cases) {
        const Figures figures = Measure(which, link, seconds);
        std::printf(
            "%s, %d s: CPU %.1f %%, longest stall %.0f ms (%.0f ms of it on a CPU), %d "
            "answers\n",
            which.name, seconds, figures.cpuPercent, figures.longestStallMs, figures.stallCpuMs,
            figures.answers);
        std::fflush(stdout);
    }
    sim.terminate();
    sim.waitForFinished(2000);
    return 0;
}
