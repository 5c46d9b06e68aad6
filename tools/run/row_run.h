#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "frames/expected_response.h"
#include "frames/named_params.h"

namespace brantel::run {

// An error is a row the run could not carry out: the port was lost, the run was interrupted
// or could not start.
enum class RowResult { kPass, kFail, kSkip, kError };

// One row of a run: what was sent and received, and the verdict with its reason.
struct RowOutcome {
    // 0 for the run as a whole, when it could not start before its rows were known.
    int row = 0;
    std::string description;
    std::string sent;
    std::string received;
    RowResult result = RowResult::kSkip;
    std::string why;
    std::chrono::duration<double> took{};
    // The fields of the Response cell as the answer holds them, when it passed.
    std::vector<ReadValue> fields{};
    // When the answer came in, for the values' time stamps.
    std::chrono::system_clock::time_point answered{};
};

// The values every row's frame reads besides its own cells.
struct RunInputs {
    std::string address;
    NamedParamTable params;
};

// What came back for a frame.
struct Answer {
    // Empty when nothing came.
    std::string bytes;
    // Why the bytes are not a whole answer (it went on too long or too far); empty when they
    // are.
    std::string fault;
    // Whether the fault ends the run (the port lost, the run interrupted), not just the row.
    bool endsRun = false;
};

// Writes a frame to the device and collects its answer.
using Exchange = std::function<Answer(const std::string& frame)>;

// Builds the row's frame as "Send Cmd" does, exchanges it with the device and judges the
// answer by the Response cell. A frame or an expected response that cannot be built fails the
// row and nothing is sent; an empty frame is not exchanged unless the Response cell expects an
// answer.
RowOutcome RunRow(int row, const std::vector<std::string>& cells, const RunInputs& inputs,
                  const Exchange& exchange);

}  // namespace brantel::run
