#pragma once

#include <array>
#include <cstdint>
#include <limits>

namespace brantel {

// The rows the newest lines wrap to, by line number and layout. Each read looks again at the
// last screenful of lines to set the scroll range and move the rows on screen, and making their
// text every time costs more than the read itself.
class RecentRowCounts {
  public:
    // `layout` stands for everything a line's rows depend on besides its text (columns, time
    // stamps); `count` works them out when they are not held.
    template <typename Count>
    int Rows(std::uint64_t number, int layout, Count count) {
        Entry& entry = entries_[number % entries_.size()];
        if (entry.number != number || entry.layout != layout) {
            entry = {number, layout, count()};
        }
        return entry.rows;
    }

  private:
    struct Entry {
        std::uint64_t number = std::numeric_limits<std::uint64_t>::max();
        int layout = 0;
        int rows = 0;
    };
    std::array<Entry, 256> entries_{};
};

}  // namespace brantel
