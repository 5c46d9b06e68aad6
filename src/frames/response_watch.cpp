#include "frames/response_watch.h"

#include <utility>

namespace brantel {

std::string VerdictLine(const ExpectedResponse& expected, std::string_view answer) {
    if (expected.Check(answer).matches) {
        return "// response as expected";
    }
    return "// response differs: expected " + expected.Text() + ", received " + AnswerText(answer);
}

void ResponseWatch::Start(ExpectedResponse expected, Clock::time_point now) {
    expected_ = std::move(expected);
    answer_.clear();
    sent_ = now;
}

std::optional<std::string> ResponseWatch::Read(std::string_view bytes, Clock::time_point now) {
    if (!expected_) {
        return std::nullopt;
    }
    if (!bytes.empty()) {
        answer_ += bytes;
        return std::nullopt;
    }
    if (answer_.empty() && now - sent_ < kResponseTimeout) {
        return std::nullopt;
    }
    return Finish();
}

std::optional<std::string> ResponseWatch::Finish() {
    if (!expected_) {
        return std::nullopt;
    }
    std::string line = VerdictLine(*expected_, answer_);
    expected_.reset();
    answer_.clear();
    return line;
}

}  // namespace brantel
