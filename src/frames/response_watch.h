#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "frames/answer_limits.h"
#include "frames/expected_response.h"

namespace brantel {

// How long a check waits for the first byte of an answer.
inline constexpr std::chrono::milliseconds kResponseTimeout = AnswerLimits{}.timeout;

// Bytes of a differing answer the log's annotation shows; the rest are counted.
inline constexpr std::size_t kVerdictBytesShown = 64;

// The log's annotation for an answer compared with its expected response, with why the answer
// is not whole when it is not (`fault`, see AnswerFault).
std::string VerdictLine(const ExpectedResponse& expected, std::string_view answer);
std::string VerdictLine(const ExpectedResponse& expected, std::string_view answer,
                        const ResponseVerdict& verdict, std::string_view fault = {});

// The log's annotation for the values an answer's fields read: "// T=21.5 P=1.02".
std::string FieldsLine(const std::vector<ReadValue>& fields);

// An answer the watch judged: the verdict, its annotation, and the row whose command it answers.
struct JudgedAnswer {
    ResponseVerdict verdict;
    std::string line;
    int row = 0;
};

// Follows the answer to the command last sent, as the reads of the port bring it in pieces,
// and judges it once it is complete: at the read that brings in a whole answer of the size a
// check fixes, at the first read that brings nothing after some bytes came, when the time-out
// passes without a byte, or, for a device that keeps talking, when the answer goes past the
// limits' time or bytes.
class ResponseWatch {
  public:
    using Clock = std::chrono::steady_clock;

    // A command that expects a response was sent now from `row`; a watch still open is dropped.
    void Start(ExpectedResponse expected, Clock::time_point now, int row = 0);
    // One read of the port and what it brought; the judgement when it completes the answer.
    std::optional<JudgedAnswer> Read(std::string_view bytes, Clock::time_point now);
    // Judges the open watch on what it has (another command is about to go out); its
    // judgement, or nothing when no watch is open.
    std::optional<JudgedAnswer> Finish() { return Finish({}); }
    // Whether an answer is awaited: a watch is open.
    bool Awaiting() const { return expected_.has_value(); }

  private:
    std::optional<JudgedAnswer> Finish(std::string_view fault);
    // The verdict on an answer that is whole by the size a check fixes and matches, so that no
    // quiet read need follow; nothing while it may still be coming.
    std::optional<ResponseVerdict> WholeBySize() const;
    // Closes the open watch with `verdict` on its answer.
    JudgedAnswer Judge(ResponseVerdict verdict, std::string_view fault);

    AnswerLimits limits_;
    std::optional<ExpectedResponse> expected_;
    std::string answer_;
    std::size_t drained_ = 0;
    Clock::time_point sent_{};
    Clock::time_point firstByte_{};
    int row_ = 0;
};

}  // namespace brantel
