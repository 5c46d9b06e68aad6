#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "log/line_store.h"

namespace brantel {

// A place in what a line shows: its start and length in the shown text.
struct TextSpan {
    std::size_t start = 0;
    std::size_t length = 0;
    bool operator==(const TextSpan&) const = default;
};

// What Find looks for: text in what the lines show, ignoring the case of ASCII letters, or a
// run of bytes in the hex lines.
class LineQuery {
  public:
    // nullopt for empty text.
    static std::optional<LineQuery> Text(std::string_view text);
    // Bytes written as hex pairs separated by blanks or commas ("0A FF", "a,ff"); nullopt when
    // the text is not such a list.
    static std::optional<LineQuery> Hex(std::string_view text);

    // Every match in what the line shows, in order, not overlapping.
    std::vector<TextSpan> MatchesIn(const StoredLine& line) const;

  private:
    LineQuery(std::string needle, bool hex) : needle_(std::move(needle)), hex_(hex) {}

    static std::vector<TextSpan> ByteMatches(const std::string& bytes, const std::string& needle);
    std::vector<TextSpan> TextMatches(const std::string& shown) const;

    // Lower-case text, or the bytes looked for.
    std::string needle_;
    bool hex_;
    // The text as aligned hex bytes, when it is one: a hex line can then be searched in its
    // bytes without making its text.
    std::optional<std::string> asBytes_;
};

struct LineMatch {
    std::size_t line = 0;
    TextSpan span;
    bool operator==(const LineMatch&) const = default;
};

// The next match after `from` (or before it, going back), wrapping around the end of the
// store; `from` itself counts when `from` is nullopt, the search starting at the first (last)
// line. nullopt when nothing matches.
std::optional<LineMatch> FindMatch(const LineStore& store, const LineQuery& query,
                                   const std::optional<LineMatch>& from, bool forward);

}  // namespace brantel
