// brantel-run: the command table of an INI file as a device test. See docs/runner.md.
#include <QCoreApplication>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/profile_store.h"
#include "row_run.h"
#include "run_options.h"
#include "run_report.h"
#include "serial_line.h"
#include "stop_signals.h"
#include "stored_run.h"
#include "text/integers.h"
#include "text/strings.h"
#include "values_file.h"
#include "version/version.h"

namespace brantel::run {
namespace {

constexpr int kFailed = 1;
constexpr int kNotFinished = 2;
constexpr int kNothingChecked = 4;

// The rows of this run, in order: those run so far with their outcomes, then those still to
// run, which stand as errors until they run. Every way out reports all of them.
struct RunRecord {
    std::string suite;
    std::vector<RowOutcome> rows;
    std::size_t finished = 0;

    // The rows not run become errors for `reason`.
    void Abandon(const std::string& reason) {
        for (std::size_t i = finished; i < rows.size(); ++i) {
            rows[i].why = reason;
        }
    }
};

void RequireReadable(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!std::filesystem::is_regular_file(path) || !in) {
        throw std::runtime_error("cannot read the INI file '" + path + "'");
    }
}

std::vector<RowOutcome> PlannedRows(const RunOptions& options, const StoredRun& stored) {
    std::vector<int> numbers;
    if (options.rows) {
        numbers = *options.rows;
    } else {
        for (int row = 1; row <= kCommandRows; ++row) {
            const auto& cells = stored.rows[static_cast<std::size_t>(row - 1)];
            if (!RemoveSpaces(Cell(cells, kCommandColumn)).empty()) {
                numbers.push_back(row);
            }
        }
    }
    std::vector<RowOutcome> rows;
    for (const int row : numbers) {
        RowOutcome planned;
        planned.row = row;
        planned.description = Cell(stored.rows[static_cast<std::size_t>(row - 1)], 0);
        planned.result = RowResult::kError;
        rows.push_back(std::move(planned));
    }
    return rows;
}

RunInputs InputsFor(const RunOptions& options, const StoredRun& stored) {
    RunInputs inputs;
    inputs.address = options.address.value_or(stored.address);
    try {
        inputs.params.Parse(options.params.value_or(stored.parameters));
    } catch (const ConversionError& error) {
        throw std::runtime_error(std::string("parameters: ") + error.what());
    }
    return inputs;
}

// Points the signals at the line while it exists.
class LineInUse {
  public:
    LineInUse(SerialLine*& active, SerialLine& line) : active_(active) { active_ = &line; }
    ~LineInUse() { active_ = nullptr; }
    LineInUse(const LineInUse&) = delete;
    LineInUse& operator=(const LineInUse&) = delete;

  private:
    SerialLine*& active_;
};

void Print(const RowOutcome& outcome, bool quiet) {
    if (!quiet || outcome.result == RowResult::kFail || outcome.result == RowResult::kError) {
        std::cout << RowLine(outcome) << std::endl;
    }
}

// Prints the closing line, and the reason for any status but 0 and 1; the status.
int ExitStatus(const RunRecord& record, int signal, bool lost) {
    const RunTotals totals = Totals(record.rows);
    std::cout << SummaryLine(totals) << std::endl;
    if (signal != 0) {
        std::cerr << "brantel-run: interrupted by " << SignalName(signal) << '\n';
        return SignalExitStatus(signal);
    }
    if (lost) {
        std::cerr << "brantel-run: the port was lost: the run could not finish\n";
        return kNotFinished;
    }
    if (totals.failed > 0) {
        return kFailed;
    }
    if (totals.passed == 0) {
        std::cerr << "brantel-run: no row was checked: "
                  << (record.rows.empty() ? "the table has no command to run"
                                          : "every row was skipped (no Response cell held an "
                                            "expected frame)")
                  << '\n';
        return kNothingChecked;
    }
    return 0;
}

// Runs the rows; throws std::runtime_error when the run cannot start. The exit status.
int Run(const RunOptions& options, RunRecord& record, SerialLine*& active) {
    RequireReadable(options.ini);
    const ProfileStore store(options.ini);
    const StoredRun stored = ReadStoredRun(store);
    record.rows = PlannedRows(options, stored);
    const RunInputs inputs = InputsFor(options, stored);
    const PortChoice port = ChoosePort(options.port, stored.portNumber, store, options.line);
    if (!port.line.problem.empty()) {
        std::cerr << "brantel-run: " << port.line.problem << '\n';
    }
    ValuesFile values(options.csv);
    SerialLine line(port.device, port.line.settings);
    const LineInUse inUse(active, line);
    if (!line.Open(port.number) && StopSignals::Caught() == 0) {
        // The failure starts with the device, so a port given by its device is named once.
        const std::string& failure = line.OpenFailure();
        const bool named = port.name != port.device;
        throw std::runtime_error("cannot open port " +
                                 (named ? port.name + " (" + failure + ")" : failure));
    }
    AnswerLimits limits;
    limits.timeout = std::chrono::milliseconds(options.timeoutMs);
    limits.gap = std::chrono::milliseconds(options.gapMs);
    limits.longest = std::chrono::milliseconds(options.answerMaxMs);
    bool lost = false;
    for (RowOutcome& outcome : record.rows) {
        if (StopSignals::Caught() != 0 || lost) {
            break;
        }
        outcome =
            RunRow(outcome.row, stored.rows[static_cast<std::size_t>(outcome.row - 1)], inputs,
                   [&](const std::string& frame) { return line.Exchange(frame, limits); });
        ++record.finished;
        lost = outcome.result == RowResult::kError && StopSignals::Caught() == 0;
        Print(outcome, options.quiet);
        values.Append(outcome);
    }
    const int signal = StopSignals::Caught();
    if (signal != 0 || lost) {
        record.Abandon("not run: " +
                       (signal != 0 ? "interrupted" : record.rows[record.finished - 1].why));
        for (std::size_t i = record.finished; i < record.rows.size(); ++i) {
            Print(record.rows[i], options.quiet);
        }
    }
    return ExitStatus(record, signal, lost);
}

// Writes the report atomically, so a reader never sees part of one; the exit status, made 2
// when the report cannot be written.
int Report(const std::string& path, const RunRecord& record, int status) {
    if (path.empty()) {
        return status;
    }
    try {
        ReplaceFileAtomically(path, JUnitReport(record.rows, record.suite));
    } catch (const std::runtime_error&) {
        std::cerr << "brantel-run: cannot write the JUnit report '" << path << "'\n";
        return kNotFinished;
    }
    return status;
}

// A run that could not start: its reason on standard error and in the report, for each row
// planned or, before any was, for the run as a whole.
int NotStarted(const std::string& reason, const std::string& junit, RunRecord& record) {
    std::cerr << "brantel-run: " << reason << '\n';
    if (record.rows.empty()) {
        RowOutcome run;
        run.description = "brantel-run";
        run.result = RowResult::kError;
        record.rows.push_back(run);
    }
    record.Abandon("the run could not start: " + reason);
    return Report(junit, record, kNotFinished);
}

std::string SuiteName(const std::string& ini) {
    return std::filesystem::path(ini).stem().string();
}

// The value after the last `option` in the arguments, for a command line that did not parse.
std::string ValueOf(const std::vector<std::string>& args, const std::string& option) {
    std::string value;
    for (std::size_t i = 0; i + 1 < args.size(); ++i) {
        if (args[i] == option) {
            value = args[i + 1];
        }
    }
    return value;
}

}  // namespace
}  // namespace brantel::run

int main(int argc, char** argv) {
    using namespace brantel::run;
    const std::vector<std::string> args(argv + 1, argv + argc);
    RunRecord record;
    RunOptions options;
    try {
        options = ParseRunOptions(args);
    } catch (const UsageError& error) {
        record.suite = SuiteName(ValueOf(args, "--ini"));
        const int status = NotStarted(error.what(), ValueOf(args, "--junit"), record);
        std::cerr << kRunUsage;
        return status;
    }
    if (options.help || options.version) {
        std::cout << (options.help ? std::string(kRunUsage) : brantel::VersionLine("brantel-run"));
        return 0;
    }
    if (!options.junit.empty() && !brantel::CanReplaceAtomically(options.junit)) {
        std::cerr << "brantel-run: cannot write the JUnit report '" << options.junit << "'\n";
        return kNotFinished;
    }
    record.suite = SuiteName(options.ini);
    // The serial link's port objects need the application object.
    QCoreApplication application(argc, argv);
    SerialLine* active = nullptr;
    const StopSignals stopSignals([&active] {
        if (active != nullptr) {
            active->Stop();
        }
    });
    try {
        return Report(options.junit, record, Run(options, record, active));
    } catch (const std::runtime_error& error) {
        return NotStarted(error.what(), options.junit, record);
    }
}
