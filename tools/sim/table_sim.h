#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "frames/fixed_frame_inputs.h"
#include "frames/table_device.h"

namespace brantel::sim {

// The device a stored command table describes: its rows (all, or those listed), its address
// (the table's, unless one is given) and parameters, and the values of its [Answers] section.
class TableSim {
  public:
    // Throws std::runtime_error saying what is wrong with the file or an [Answers] value.
    TableSim(const std::string& path, const std::vector<int>& rows,
             std::optional<std::uint8_t> address);

    // How each row reads, for the start-up listing: "row 4 does not answer: ...".
    std::vector<std::string> Listing() const;
    std::size_t FrameSize(std::string_view pending) const { return device_.FrameSize(pending); }
    // The answer to send, with one line saying what happened: "row 2 answered", ...
    struct Reply {
        std::optional<std::string> bytes;
        std::string line;
    };
    Reply Answer(std::string_view frame);

  private:
    static TableDevice Load(const std::string& path, const std::vector<int>& rows,
                            std::optional<std::uint8_t> address, FixedFrameInputs& inputs);

    FixedFrameInputs inputs_;
    TableDevice device_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace brantel::sim
