#include "table_sim.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>

#include "commands/command_row.h"
#include "platform/profile_store.h"
#include "stored_run.h"
#include "text/hex_line.h"
#include "text/integers.h"

namespace brantel::sim {

namespace {

constexpr std::string_view kAnswersSection = "Answers";

std::string Hex(std::string_view bytes) {
    std::string text = HexLine(bytes);
    if (!text.empty()) {
        text.pop_back();
    }
    return text;
}

}  // namespace

TableSim::TableSim(const std::string& path, const std::vector<int>& rows,
                   std::optional<std::uint8_t> address)
    : device_(Load(path, rows, address, inputs_)) {}

TableDevice TableSim::Load(const std::string& path, const std::vector<int>& rows,
                           std::optional<std::uint8_t> address, FixedFrameInputs& inputs) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        throw std::runtime_error("cannot read the table " + path);
    }
    const ProfileStore store(path);
    const run::StoredRun stored = run::ReadStoredRun(store);
    inputs.address = address ? HexText(*address, 2) : stored.address;
    try {
        inputs.params.Parse(stored.parameters);
    } catch (const ConversionError& failure) {
        throw std::runtime_error("the table's parameters: " + std::string(failure.what()));
    }
    AnswerValues values;
    for (const ProfileEntry& entry : store.ReadSection(kAnswersSection)) {
        try {
            values.SetSource(entry.key, entry.value);
        } catch (const std::invalid_argument& failure) {
            throw std::runtime_error("[Answers] " + entry.key + ": " + failure.what());
        }
    }
    std::vector<TableRow> tableRows;
    for (int number = 1; number <= kCommandRows; ++number) {
        if (!rows.empty() && std::find(rows.begin(), rows.end(), number) == rows.end()) {
            continue;
        }
        const std::vector<std::string>& cells = stored.rows[static_cast<std::size_t>(number - 1)];
        std::string command = run::Cell(cells, kCommandColumn);
        if (!command.empty()) {
            tableRows.push_back({number, std::move(command), run::Cell(cells, kResponseColumn)});
        }
    }
    return TableDevice(std::move(tableRows), inputs, std::move(values));
}

std::vector<std::string> TableSim::Listing() const {
    std::vector<std::string> lines;
    for (const RowReading& reading : device_.Readings()) {
        lines.push_back("row " + std::to_string(reading.number) +
                        (reading.answers ? " answers" : " does not answer: " + reading.why));
    }
    return lines;
}

TableSim::Reply TableSim::Answer(std::string_view frame) {
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start_;
    const std::optional<TableAnswer> answer = device_.Answer(frame, elapsed.count());
    if (!answer) {
        return {std::nullopt, "no row matches " + Hex(frame)};
    }
    const std::string row = "row " + std::to_string(answer->row);
    if (!answer->error.empty()) {
        return {std::nullopt, row + " matched, but its answer cannot be made: " + answer->error};
    }
    return {answer->bytes, answer->bytes ? row + " answered" : row + " matched: no answer"};
}

}  // namespace brantel::sim
