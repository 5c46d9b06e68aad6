#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

#include "text/colours.h"

namespace brantel {

// How a logged line is shown: its bytes as text, or as a hex line ("00 0A FF ").
enum class LineForm : std::uint8_t { kText, kHex };

// One line of the traffic log as it arrived, kept compactly: the text it shows is made when
// it is drawn, copied or saved.
struct StoredLine {
    std::string bytes;
    // Arrival, in milliseconds since the epoch.
    std::int64_t timeMs = 0;
    Colour colour = 0;
    LineForm form = LineForm::kText;
};

// The time lines are stamped with now, in milliseconds since the epoch.
std::int64_t NowMs();

// What a line shows: its text, or its bytes as a hex line.
std::string ShownText(const StoredLine& line);

// The lines of the traffic log, oldest first. Beyond `maxLines` lines or `maxBytes` bytes of
// line content the oldest lines go, one at a time in constant time.
class LineStore {
  public:
    static constexpr std::size_t kMaxLines = 1'000'000;
    static constexpr std::size_t kMaxBytes = std::size_t{64} << 20;

    explicit LineStore(std::size_t maxLines = kMaxLines, std::size_t maxBytes = kMaxBytes);

    // Appends the line; the number of old lines dropped to make room.
    std::size_t Append(StoredLine line);
    void Clear();

    std::size_t Size() const { return lines_.size(); }
    bool Empty() const { return lines_.empty(); }
    const StoredLine& At(std::size_t index) const { return lines_[index]; }
    // How many lines were appended before the oldest one held: with it, a line keeps one
    // number while older ones go.
    std::uint64_t FirstNumber() const { return firstNumber_; }
    std::size_t ContentBytes() const { return bytes_; }

  private:
    std::size_t maxLines_;
    std::size_t maxBytes_;
    std::deque<StoredLine> lines_;
    std::size_t bytes_ = 0;
    std::uint64_t firstNumber_ = 0;
};

}  // namespace brantel
