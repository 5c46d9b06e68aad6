#include "log/line_store.h"

#include <chrono>

#include "text/hex_line.h"

namespace brantel {

std::int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::string ShownText(const StoredLine& line) {
    return line.form == LineForm::kHex ? HexLine(line.bytes) : line.bytes;
}

LineStore::LineStore(std::size_t maxLines, std::size_t maxBytes)
    : maxLines_(maxLines), maxBytes_(maxBytes) {}

std::size_t LineStore::Append(StoredLine line) {
    bytes_ += line.bytes.size();
    lines_.push_back(std::move(line));
    std::size_t dropped = 0;
    // The newest line stays even when it alone is over the byte limit.
    while (lines_.size() > 1 && (lines_.size() > maxLines_ || bytes_ > maxBytes_)) {
        bytes_ -= lines_.front().bytes.size();
        lines_.pop_front();
        ++firstNumber_;
        ++dropped;
    }
    return dropped;
}

void LineStore::Clear() {
    firstNumber_ += lines_.size();
    lines_.clear();
    lines_.shrink_to_fit();
    bytes_ = 0;
}

}  // namespace brantel
