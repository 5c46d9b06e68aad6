#include "row_run.h"

#include <optional>
#include <utility>

#include "commands/command_row.h"
#include "frames/expected_response.h"
#include "frames/fixed_frame_inputs.h"
#include "stored_run.h"
#include "text/integers.h"
#include "text/strings.h"

namespace brantel::run {

namespace {

// Sends the row's frame and sets the outcome's bytes, result and reason.
void Judge(RowOutcome& outcome, const std::vector<std::string>& cells,
           const FixedFrameInputs& frameInputs, const Exchange& exchange) {
    const std::string response = Cell(cells, kResponseColumn);
    std::optional<ExpectedResponse> expected;
    try {
        outcome.sent = BuildFrame(Cell(cells, kCommandColumn), frameInputs);
        // Before the send, so a Response cell that cannot be judged sends nothing either.
        expected = ExpectedResponse::FromCell(response, frameInputs);
    } catch (const ConversionError& error) {
        outcome.sent.clear();
        outcome.result = RowResult::kFail;
        outcome.why = error.what();
        return;
    }
    if (!outcome.sent.empty() || expected) {
        Answer answer = exchange(outcome.sent);
        outcome.answered = std::chrono::system_clock::now();
        outcome.received = std::move(answer.bytes);
        if (!answer.fault.empty()) {
            outcome.result = answer.endsRun ? RowResult::kError : RowResult::kFail;
            outcome.why = std::move(answer.fault);
            return;
        }
    }
    if (expected) {
        const ResponseVerdict verdict = expected->Check(outcome.received);
        outcome.result = verdict.matches ? RowResult::kPass : RowResult::kFail;
        outcome.why = verdict.why;
        outcome.fields = verdict.fields;
    } else {
        outcome.result = RowResult::kSkip;
        outcome.why = RemoveSpaces(response).empty() ? "no expected response"
                                                     : "response not a frame: " + response;
    }
}

}  // namespace

RowOutcome RunRow(int row, const std::vector<std::string>& cells, const RunInputs& inputs,
                  const Exchange& exchange) {
    const auto started = std::chrono::steady_clock::now();
    RowOutcome outcome;
    outcome.row = row;
    outcome.description = Cell(cells, kDescriptionColumn);
    FixedFrameInputs frameInputs;
    frameInputs.address = inputs.address;
    frameInputs.params = inputs.params;
    if (cells.size() > static_cast<std::size_t>(kFirstVariableColumn)) {
        frameInputs.variables.assign(cells.begin() + kFirstVariableColumn, cells.end());
    }
    Judge(outcome, cells, frameInputs, exchange);
    outcome.took = std::chrono::steady_clock::now() - started;
    return outcome;
}

}  // namespace brantel::run
