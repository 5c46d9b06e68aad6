#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "frames/answer_values.h"
#include "frames/expected_response.h"
#include "frames/frame_builder.h"

namespace brantel {

// A command row as a table's device reads it: the frame a host sends, the answer to give.
struct TableRow {
    int number = 0;  // as the grid shows it, from 1
    std::string command;
    std::string response;
    bool operator==(const TableRow&) const = default;
};

// How the device reads a row: whether it answers, and why not.
struct RowReading {
    int number = 0;
    bool answers = false;
    std::string why;  // for a row that does not answer
};

// What the device does with a received frame: the row that matched, and its answer (none for a
// Response cell that is a note) or why it could not be made.
struct TableAnswer {
    int row = 0;
    std::optional<std::string> bytes;
    std::string error;
};

// A received frame and what became of it: `answer` is nullopt when no row matched.
struct TableExchange {
    std::string request;
    std::optional<TableAnswer> answer;
};

// A command table playing the device it describes: a received frame that matches a row's
// Command cell (the first such row, in table order) is answered with that row's Response cell,
// the values the request captured written to the device's values first.
class TableDevice {
  public:
    TableDevice(std::vector<TableRow> rows, const FrameInputs& inputs, AnswerValues values);

    const std::vector<RowReading>& Readings() const { return readings_; }
    // The size of the first frame of `pending` where a row's length byte, or the one size of a
    // row with a check, tells it and its bytes are all there and match that row; 0 when none
    // does, and the line going quiet ends it.
    std::size_t FrameSize(std::string_view pending) const;
    // nullopt when no row matches; `seconds` since the device started, for values that move.
    std::optional<TableAnswer> Answer(std::string_view frame, double seconds);

    // Bytes as they arrive: the frames they complete, each with its answer. The rest waits for
    // more bytes or for Quiet, when the line going quiet ends it as a frame.
    std::vector<TableExchange> Receive(std::string_view bytes, double seconds);
    std::optional<TableExchange> Quiet(double seconds);
    bool Pending() const { return !pending_.empty(); }
    const AnswerValues& Values() const { return values_; }

  private:
    struct Row {
        TableRow cells;
        ExpectedResponse request;
    };

    const FrameInputs& inputs_;
    AnswerValues values_;
    std::vector<Row> rows_;
    std::vector<RowReading> readings_;
    std::string pending_;
};

}  // namespace brantel
