#include "frames/response_watch.h"

#include <utility>

namespace brantel {

std::string VerdictLine(const ExpectedResponse& expected, std::string_view answer) {
    return VerdictLine(expected, answer, expected.Check(answer));
}

std::string VerdictLine(const ExpectedResponse& expected, std::string_view answer,
                        const ResponseVerdict& verdict) {
    if (verdict.matches) {
        return "// response as expected";
    }
    return "// response differs: expected " + expected.Text() + ", received " + AnswerText(answer);
}

std::string FieldsLine(const std::vector<ReadValue>& fields) {
    return "// " + FieldsText(fields);
}

void ResponseWatch::Start(ExpectedResponse expected, Clock::time_point now, int row) {
    expected_ = std::move(expected);
    answer_.clear();
    sent_ = now;
    row_ = row;
}

std::optional<JudgedAnswer> ResponseWatch::Read(std::string_view bytes, Clock::time_point now) {
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

std::optional<JudgedAnswer> ResponseWatch::Finish() {
    if (!expected_) {
        return std::nullopt;
    }
    JudgedAnswer judged;
    judged.verdict = expected_->Check(answer_);
    judged.line = VerdictLine(*expected_, answer_, judged.verdict);
    judged.row = row_;
    expected_.reset();
    answer_.clear();
    return judged;
}

}  // namespace brantel
