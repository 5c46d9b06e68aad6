// brantel-run: the command table of an INI file as a device test. See docs/runner.md.
#include <QCoreApplication>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/profile_store.h"
#include "row_run.h"
#include "run_options.h"
#include "run_report.h"
#include "serial_line.h"
#include "stored_run.h"
#include "text/integers.h"
#include "text/strings.h"
#include "version/version.h"

namespace brantel::run {
namespace {

void RequireReadable(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!std::filesystem::is_regular_file(path) || !in) {
        throw std::runtime_error("cannot read the INI file '" + path + "'");
    }
}

std::vector<int> RowsToRun(const RunOptions& options, const StoredRun& stored) {
    if (options.rows) {
        return *options.rows;
    }
    std::vector<int> rows;
    for (int row = 1; row <= kCommandRows; ++row) {
        const auto& cells = stored.rows[static_cast<std::size_t>(row - 1)];
        if (!RemoveSpaces(Cell(cells, kCommandColumn)).empty()) {
            rows.push_back(row);
        }
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

int Run(const RunOptions& options) {
    RequireReadable(options.ini);
    const ProfileStore store(options.ini);
    const StoredRun stored = ReadStoredRun(store);
    const RunInputs inputs = InputsFor(options, stored);
    const PortChoice port = ChoosePort(options.port, stored.portNumber, store);
    std::ofstream junit;
    if (!options.junit.empty()) {
        junit.open(options.junit, std::ios::binary | std::ios::trunc);
        if (!junit) {
            throw std::runtime_error("cannot write the JUnit report '" + options.junit + "'");
        }
    }
    SerialLine line(port.device);
    if (!line.Open(port.number)) {
        // The failure starts with the device, so a port given by its device is named once.
        const std::string& failure = line.OpenFailure();
        const bool named = port.name != port.device;
        throw std::runtime_error("cannot open port " +
                                 (named ? port.name + " (" + failure + ")" : failure));
    }
    const std::chrono::milliseconds timeout(options.timeoutMs);
    const std::chrono::milliseconds gap(options.gapMs);
    std::vector<RowOutcome> outcomes;
    for (const int row : RowsToRun(options, stored)) {
        outcomes.push_back(
            RunRow(row, stored.rows[static_cast<std::size_t>(row - 1)], inputs,
                   [&](const std::string& frame) { return line.Exchange(frame, timeout, gap); }));
        if (!options.quiet || outcomes.back().result == RowResult::kFail) {
            std::cout << RowLine(outcomes.back()) << std::endl;
        }
    }
    const RunTotals totals = Totals(outcomes);
    std::cout << SummaryLine(totals) << std::endl;
    if (junit.is_open()) {
        const std::string stem = std::filesystem::path(options.ini).stem().string();
        junit << JUnitReport(outcomes, stem);
        junit.close();
        if (!junit) {
            throw std::runtime_error("cannot write the JUnit report '" + options.junit + "'");
        }
    }
    return totals.failed == 0 ? 0 : 1;
}

}  // namespace
}  // namespace brantel::run

int main(int argc, char** argv) {
    using namespace brantel::run;
    // A run that cannot start is reported as "brantel-run: <message>" with exit status 2.
    RunOptions options;
    try {
        options = ParseRunOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const UsageError& error) {
        std::cerr << "brantel-run: " << error.what() << '\n' << kRunUsage;
        return 2;
    }
    if (options.help || options.version) {
        std::cout << (options.help ? std::string(kRunUsage) : brantel::VersionLine("brantel-run"));
        return 0;
    }
    // The serial link's port objects need the application object.
    QCoreApplication application(argc, argv);
    try {
        return Run(options);
    } catch (const std::runtime_error& error) {
        std::cerr << "brantel-run: " << error.what() << '\n';
        return 2;
    }
}
