#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "frames/named_params.h"

namespace brantel::run {

enum class RowResult { kPass, kFail, kSkip };

// One row of a run: what was sent and received, and the verdict with its reason.
struct RowOutcome {
    int row = 0;
    std::string description;
    std::string sent;
    std::string received;
    RowResult result = RowResult::kSkip;
    std::string why;
    std::chrono::duration<double> took{};
};

// The values every row's frame reads besides its own cells.
struct RunInputs {
    std::string address;
    NamedParamTable params;
};

// Writes a frame to the device and returns its answer (empty when none came).
using Exchange = std::function<std::string(const std::string& frame)>;

// Builds the row's frame as "Send Cmd" does, exchanges it with the device and judges the
// answer by the Response cell. A frame or an expected response that cannot be built fails the
// row and nothing is sent.
RowOutcome RunRow(int row, const std::vector<std::string>& cells, const RunInputs& inputs,
                  const Exchange& exchange);

}  // namespace brantel::run
