#include "frames/table_device.h"

#include <algorithm>
#include <utility>

#include "frames/answer_frame.h"
#include "text/integers.h"

namespace brantel {

TableDevice::TableDevice(std::vector<TableRow> rows, const FrameInputs& inputs, AnswerValues values)
    : inputs_(inputs), values_(std::move(values)) {
    for (TableRow& row : rows) {
        std::string why;
        try {
            if (auto request = ExpectedResponse::FromRequestCell(row.command, inputs, &why)) {
                for (const ResponseField& field : request->Fields()) {
                    values_.AddWritable(field.name);
                }
                rows_.push_back({std::move(row), std::move(*request)});
                continue;
            }
        } catch (const ConversionError& error) {
            why = error.what();
        }
        readings_.push_back({row.number, false, "its Command cell matches no frame: " + why});
    }
    // Whether a Response is a note depends on the names any request may write.
    const ValueLookup known = [this](std::string_view name) -> std::optional<double> {
        return values_.Knows(name) ? std::optional<double>(0) : std::nullopt;
    };
    for (const Row& row : rows_) {
        std::string why;
        bool answers = false;
        try {
            answers = BuildAnswer(row.cells.response, inputs_, known, &why).has_value();
        } catch (const ConversionError&) {
            answers = true;  // the values it holds when asked decide
        }
        readings_.push_back(
            {row.cells.number, answers, answers ? "" : "its Response cell is a note: " + why});
    }
    std::sort(readings_.begin(), readings_.end(),
              [](const RowReading& a, const RowReading& b) { return a.number < b.number; });
}

std::size_t TableDevice::FrameSize(std::string_view pending) const {
    for (const Row& row : rows_) {
        const std::optional<std::size_t> at = row.request.LengthAt();
        std::size_t size = 0;
        if (at && *at < pending.size()) {
            size = static_cast<unsigned char>(pending[*at]);
            size = size > *at ? size : 0;
        } else if (!at) {
            size = row.request.CheckedSize().value_or(0);
        }
        if (size > 0 && size <= pending.size() &&
            row.request.Check(pending.substr(0, size)).matches) {
            return size;
        }
    }
    return 0;
}

std::optional<TableAnswer> TableDevice::Answer(std::string_view frame, double seconds) {
    for (const Row& row : rows_) {
        ResponseVerdict verdict = row.request.Check(frame);
        if (!verdict.matches) {
            continue;
        }
        for (const ReadValue& captured : verdict.fields) {
            values_.Write(captured.name, captured.value.value);
        }
        TableAnswer answer{row.cells.number, std::nullopt, ""};
        try {
            answer.bytes = BuildAnswer(row.cells.response, inputs_, [&](std::string_view name) {
                return values_.Read(name, seconds);
            });
        } catch (const ConversionError& error) {
            answer.error = error.what();
        }
        return answer;
    }
    return std::nullopt;
}

std::vector<TableExchange> TableDevice::Receive(std::string_view bytes, double seconds) {
    // A frame can never be longer than this; a stream past it is cut.
    constexpr std::size_t kMaxPending = 4096;
    pending_ += bytes;
    std::vector<TableExchange> exchanges;
    while (const std::size_t size = FrameSize(pending_)) {
        std::string request = pending_.substr(0, size);
        pending_.erase(0, size);
        auto answer = Answer(request, seconds);
        exchanges.push_back({std::move(request), std::move(answer)});
    }
    if (pending_.size() >= kMaxPending) {
        if (auto exchange = Quiet(seconds)) {
            exchanges.push_back(std::move(*exchange));
        }
    }
    return exchanges;
}

std::optional<TableExchange> TableDevice::Quiet(double seconds) {
    if (pending_.empty()) {
        return std::nullopt;
    }
    std::string request = std::move(pending_);
    pending_.clear();
    auto answer = Answer(request, seconds);
    return TableExchange{std::move(request), std::move(answer)};
}

}  // namespace brantel
