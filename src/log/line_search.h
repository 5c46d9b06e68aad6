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

struct LineMatch;

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
    // The matches that begin in line `index` of the store, in order. Bytes are found across the
    // ends of consecutive hex lines of one colour (one direction), as a frame may have come in
    // more than one read.
    std::vector<LineMatch> StartsIn(const LineStore& store, std::size_t index) const;
    // What line `index` shows of every match, those running on from or to its neighbours too.
    std::vector<TextSpan> PartsIn(const LineStore& store, std::size_t index) const;

  private:
    LineQuery(std::string needle, bool hex) : needle_(std::move(needle)), hex_(hex) {}

    static std::vector<std::size_t> ByteOffsets(std::string_view bytes, const std::string& needle);
    static std::vector<TextSpan> ByteMatches(const std::string& bytes, const std::string& needle);
    std::vector<TextSpan> TextMatches(const std::string& shown) const;

    // Lower-case text, or the bytes looked for.
    std::string needle_;
    bool hex_;
    // The text as aligned hex bytes, when it is one: a hex line can then be searched in its
    // bytes without making its text.
    std::optional<std::string> asBytes_;
};

// Where a match that runs on over the next lines ends: the line and its part there.
struct LineEnd {
    std::size_t line = 0;
    TextSpan span;
    bool operator==(const LineEnd&) const = default;
};

struct LineMatch {
    std::size_t line = 0;
    // In the line it begins in, to that line's last byte when it runs on.
    TextSpan span;
    // The lines after it are wholly in the match up to this one.
    std::optional<LineEnd> runsOnTo = std::nullopt;
    bool operator==(const LineMatch&) const = default;
};

// The next match after `from` (or before it, going back), wrapping around the end of the
// store; `from` itself counts when `from` is nullopt, the search starting at the first (last)
// line. nullopt when nothing matches.
std::optional<LineMatch> FindMatch(const LineStore& store, const LineQuery& query,
                                   const std::optional<LineMatch>& from, bool forward);

}  // namespace brantel
