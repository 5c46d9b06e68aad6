#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "frames/fixed_frame_inputs.h"
#include "frames/table_device.h"

namespace brantel {

class ProfileStore;

// The window as the device its command table describes ("Answer Requests"): received bytes
// are cut into frames, and a frame that matches a row is answered with that row's Response.
class RequestAnswering {
  public:
    // What the table says, as the window shows it now.
    struct Table {
        std::vector<TableRow> rows;
        std::string address;
        std::string parameters;
        bool operator==(const Table&) const = default;
    };
    // What to do with a frame: the annotation to log, then the bytes to send (none: nothing).
    struct Step {
        std::string line;
        std::optional<std::string> bytes;
    };

    // Starts afresh from the table and the values of section [Answers]; a bad entry there is
    // left out and named in `warnings`.
    void Start(Table table, const ProfileStore& store, std::vector<std::string>& warnings);
    // The bytes of a poll tick; none means the line went quiet, which ends a frame. A table
    // that changed since is read again, the values kept.
    std::vector<Step> Take(const std::string& received, const Table& table);

  private:
    void Build(Table table, AnswerValues values);
    static Step StepOf(const TableExchange& exchange);

    Table table_;
    FixedFrameInputs inputs_;
    std::optional<TableDevice> device_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace brantel
