#include "frames/response_watch.h"

#include <utility>

namespace brantel {

std::string VerdictLine(const ExpectedResponse& expected, std::string_view answer) {
    return VerdictLine(expected, answer, expected.Check(answer));
}

std::string VerdictLine(const ExpectedResponse& expected, std::string_view answer,
                        const ResponseVerdict& verdict, std::string_view fault) {
    if (verdict.matches && fault.empty()) {
        return "// response as expected";
    }
    std::string line = "// response differs: expected " + expected.Text() + ", received " +
                       AnswerText(answer.substr(0, kVerdictBytesShown));
    if (answer.size() > kVerdictBytesShown) {
        line += " ... (" + std::to_string(answer.size()) + " bytes)";
    }
    if (!fault.empty()) {
        line += "; ";
        line += fault;
    }
    return line;
}

std::string FieldsLine(const std::vector<ReadValue>& fields) {
    return "// " + FieldsText(fields);
}

void ResponseWatch::Start(ExpectedResponse expected, Clock::time_point now, int row) {
    expected_ = std::move(expected);
    answer_.clear();
    drained_ = 0;
    sent_ = now;
    row_ = row;
}

std::optional<JudgedAnswer> ResponseWatch::Read(std::string_view bytes, Clock::time_point now) {
    if (!expected_) {
        return std::nullopt;
    }
    if (!bytes.empty()) {
        if (answer_.empty()) {
            firstByte_ = now;
        }
        drained_ += TakeWithin(bytes, limits_.mostBytes, answer_);
        const bool wentOnTooLong = now - firstByte_ >= limits_.longest;
        if (wentOnTooLong || drained_ > 0) {
            return Finish(AnswerFault(wentOnTooLong, drained_, limits_));
        }
        if (std::optional<ResponseVerdict> whole = WholeBySize()) {
            return Judge(std::move(*whole), {});
        }
        return std::nullopt;
    }
    if (answer_.empty() && now - sent_ < limits_.timeout) {
        return std::nullopt;
    }
    return Finish();
}

std::optional<ResponseVerdict> ResponseWatch::WholeBySize() const {
    const std::optional<std::size_t> size = expected_->CheckedSize();
    if (!size || answer_.size() != *size) {
        return std::nullopt;
    }
    ResponseVerdict verdict = expected_->Check(answer_);
    return verdict.matches ? std::optional(std::move(verdict)) : std::nullopt;
}

std::optional<JudgedAnswer> ResponseWatch::Finish(std::string_view fault) {
    if (!expected_) {
        return std::nullopt;
    }
    return Judge(expected_->Check(answer_), fault);
}

JudgedAnswer ResponseWatch::Judge(ResponseVerdict verdict, std::string_view fault) {
    JudgedAnswer judged;
    judged.verdict = std::move(verdict);
    judged.verdict.matches = judged.verdict.matches && fault.empty();
    judged.line = VerdictLine(*expected_, answer_, judged.verdict, fault);
    judged.row = row_;
    expected_.reset();
    answer_.clear();
    return judged;
}

}  // namespace brantel
