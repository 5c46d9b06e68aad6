#include "app/request_answering.h"

#include <stdexcept>
#include <utility>

#include "platform/profile_store.h"
#include "text/integers.h"

namespace brantel {

namespace {

constexpr char kAnswersSection[] = "Answers";

}  // namespace

void RequestAnswering::Start(Table table, const ProfileStore& store,
                             std::vector<std::string>& warnings) {
    AnswerValues values;
    for (const ProfileEntry& entry : store.ReadSection(kAnswersSection)) {
        try {
            values.SetSource(entry.key, entry.value);
        } catch (const std::invalid_argument& error) {
            warnings.push_back("[Answers] " + entry.key + ": " + error.what());
        }
    }
    start_ = std::chrono::steady_clock::now();
    Build(std::move(table), std::move(values));
}

void RequestAnswering::Build(Table table, AnswerValues values) {
    device_.reset();
    table_ = std::move(table);
    inputs_.address = table_.address;
    try {
        inputs_.params.Parse(table_.parameters);
    } catch (const ConversionError&) {
        // The pairs before the bad one stand, as they do for a send.
    }
    device_.emplace(table_.rows, inputs_, std::move(values));
}

std::vector<RequestAnswering::Step> RequestAnswering::Take(const std::string& received,
                                                           const Table& table) {
    if (!device_) {
        return {};
    }
    if (!(table == table_)) {
        AnswerValues kept = device_->Values();
        Build(table, std::move(kept));
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    std::vector<Step> steps;
    if (received.empty()) {
        if (const auto exchange = device_->Quiet(seconds)) {
            steps.push_back(StepOf(*exchange));
        }
        return steps;
    }
    for (const TableExchange& exchange : device_->Receive(received, seconds)) {
        steps.push_back(StepOf(exchange));
    }
    return steps;
}

RequestAnswering::Step RequestAnswering::StepOf(const TableExchange& exchange) {
    if (!exchange.answer) {
        return {"// no row matches", std::nullopt};
    }
    const TableAnswer& answer = *exchange.answer;
    const std::string row = "row " + std::to_string(answer.row);
    if (!answer.error.empty()) {
        return {"// " + row + " matched, but its answer cannot be made: " + answer.error,
                std::nullopt};
    }
    if (!answer.bytes) {
        return {"// " + row + " matched: its Response is a note, no answer", std::nullopt};
    }
    return {"// answered " + row, answer.bytes};
}

}  // namespace brantel
