#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "frames/expected_response.h"

namespace brantel {

// How long a check waits for the first byte of an answer.
inline constexpr std::chrono::milliseconds kResponseTimeout{500};

// The log's annotation for an answer compared with its expected response.
std::string VerdictLine(const ExpectedResponse& expected, std::string_view answer);

// Follows the answer to the command last sent, as the reads of the port bring it in pieces,
// and judges it once it is complete: at the first read that brings nothing after some bytes
// came, or when the time-out passes without a byte.
class ResponseWatch {
  public:
    using Clock = std::chrono::steady_clock;

    // A command that expects a response was sent now; a watch still open is dropped.
    void Start(ExpectedResponse expected, Clock::time_point now);
    // One read of the port and what it brought; the annotation when it completes the answer.
    std::optional<std::string> Read(std::string_view bytes, Clock::time_point now);
    // Judges the open watch on what it has (another command is about to go out); its
    // annotation, or nothing when no watch is open.
    std::optional<std::string> Finish();

  private:
    std::optional<ExpectedResponse> expected_;
    std::string answer_;
    Clock::time_point sent_{};
};

}  // namespace brantel
