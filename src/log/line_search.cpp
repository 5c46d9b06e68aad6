#include "log/line_search.h"

#include <algorithm>
#include <functional>

namespace brantel {
namespace {

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string LowerCase(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), Lower);
    return lower;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    const char lower = Lower(c);
    return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

// Bytes written as hex tokens of one or two digits between `separators`; nullopt otherwise.
std::optional<std::string> HexBytes(std::string_view text, std::string_view separators,
                                    bool exactlyTwoDigits) {
    std::string bytes;
    std::size_t at = 0;
    while (at < text.size()) {
        if (separators.find(text[at]) != std::string_view::npos) {
            ++at;
            continue;
        }
        std::size_t end = at;
        int value = 0;
        while (end < text.size() && separators.find(text[end]) == std::string_view::npos) {
            const int digit = HexDigit(text[end]);
            if (digit < 0) {
                return std::nullopt;
            }
            value = value * 16 + digit;
            ++end;
        }
        const std::size_t digits = end - at;
        if (digits > 2 || (exactlyTwoDigits && digits != 2)) {
            return std::nullopt;
        }
        bytes.push_back(static_cast<char>(value));
        at = end;
    }
    if (bytes.empty()) {
        return std::nullopt;
    }
    return bytes;
}

// Whether line `other` is of the run of hex lines that `line` is in: of one colour, so of one
// direction.
bool SameRun(const StoredLine& line, const StoredLine& other) {
    return line.form == LineForm::kHex && other.form == LineForm::kHex &&
           line.colour == other.colour;
}

// The bytes of a hex line with up to `before` bytes of the lines of its run before it and
// `after` after it.
struct RunWindow {
    std::string bytes;
    // The window's lines in order: their index in the store and where their bytes begin.
    std::vector<std::pair<std::size_t, std::size_t>> starts;
    // Where the line's own bytes begin.
    std::size_t own = 0;

    // The line and the byte in it at an offset of the window.
    std::pair<std::size_t, std::size_t> At(std::size_t offset) const {
        const auto line = std::prev(
            std::upper_bound(starts.begin(), starts.end(), offset,
                             [](std::size_t at, const auto& s) { return at < s.second; }));
        return {line->first, offset - line->second};
    }
};

RunWindow WindowAround(const LineStore& store, std::size_t index, std::size_t before,
                       std::size_t after) {
    const StoredLine& line = store.At(index);
    std::vector<std::pair<std::size_t, std::string_view>> earlier;
    for (std::size_t i = index, taken = 0;
         i > 0 && taken < before && SameRun(line, store.At(i - 1)); --i) {
        const std::string_view bytes = store.At(i - 1).bytes;
        const std::size_t take = std::min(bytes.size(), before - taken);
        earlier.emplace_back(i - 1, bytes.substr(bytes.size() - take));
        taken += take;
    }
    RunWindow window;
    const auto add = [&window](std::size_t at, std::string_view bytes) {
        window.starts.emplace_back(at, window.bytes.size());
        window.bytes.append(bytes);
    };
    for (auto it = earlier.rbegin(); it != earlier.rend(); ++it) {
        add(it->first, it->second);
    }
    window.own = window.bytes.size();
    add(index, line.bytes);
    for (std::size_t i = index + 1, taken = 0;
         i < store.Size() && taken < after && SameRun(line, store.At(i)); ++i) {
        const std::string_view bytes = store.At(i).bytes;
        add(i, bytes.substr(0, std::min(bytes.size(), after - taken)));
        taken += std::min(bytes.size(), after - taken);
    }
    return window;
}

// The part of bytes `from` to `to` (not included) of a hex line as it shows them.
TextSpan HexSpan(std::size_t from, std::size_t to) {
    return {3 * from, 3 * (to - from) - 1};
}

// Whether every character could stand in a hex line ("0A FF ").
bool HexLineCharacters(std::string_view lower) {
    return std::all_of(lower.begin(), lower.end(),
                       [](char c) { return c == ' ' || HexDigit(c) >= 0; });
}

}  // namespace

std::optional<LineQuery> LineQuery::Text(std::string_view text) {
    if (text.empty()) {
        return std::nullopt;
    }
    LineQuery query(LowerCase(text), false);
    // "0a ff" in a hex line is the bytes 0A FF: aligned pairs separated by single blanks.
    const bool single = text.find("  ") == std::string_view::npos && text.front() != ' ';
    if (single) {
        query.asBytes_ = HexBytes(text, " ", true);
    }
    return query;
}

std::optional<LineQuery> LineQuery::Hex(std::string_view text) {
    std::optional<std::string> bytes = HexBytes(text, " ,\t", false);
    if (!bytes) {
        return std::nullopt;
    }
    return LineQuery(std::move(*bytes), true);
}

std::vector<TextSpan> LineQuery::MatchesIn(const StoredLine& line) const {
    if (line.form != LineForm::kHex) {
        return hex_ ? std::vector<TextSpan>{} : TextMatches(line.bytes);
    }
    if (hex_) {
        return ByteMatches(line.bytes, needle_);
    }
    if (asBytes_) {
        std::vector<TextSpan> spans = ByteMatches(line.bytes, *asBytes_);
        // A trailing blank in the text covers the blank after the last pair.
        if (needle_.back() == ' ') {
            for (TextSpan& span : spans) {
                ++span.length;
            }
        }
        return spans;
    }
    return HexLineCharacters(needle_) ? TextMatches(ShownText(line)) : std::vector<TextSpan>{};
}

std::vector<std::size_t> LineQuery::ByteOffsets(std::string_view bytes, const std::string& needle) {
    std::vector<std::size_t> offsets;
    auto at = bytes.begin();
    const std::boyer_moore_horspool_searcher searcher(needle.begin(), needle.end());
    while (true) {
        const auto [first, last] = searcher(at, bytes.end());
        if (first == bytes.end()) {
            break;
        }
        offsets.push_back(static_cast<std::size_t>(first - bytes.begin()));
        at = last;
    }
    return offsets;
}

std::vector<TextSpan> LineQuery::ByteMatches(const std::string& bytes, const std::string& needle) {
    std::vector<TextSpan> spans;
    for (const std::size_t offset : ByteOffsets(bytes, needle)) {
        spans.push_back(HexSpan(offset, offset + needle.size()));
    }
    return spans;
}

std::vector<LineMatch> LineQuery::StartsIn(const LineStore& store, std::size_t index) const {
    std::vector<LineMatch> matches;
    const StoredLine& line = store.At(index);
    if (!hex_ || line.form != LineForm::kHex) {
        for (const TextSpan& span : MatchesIn(line)) {
            matches.push_back({index, span, std::nullopt});
        }
        return matches;
    }
    const RunWindow window = WindowAround(store, index, 0, needle_.size() - 1);
    for (const std::size_t offset : ByteOffsets(window.bytes, needle_)) {
        if (offset >= line.bytes.size()) {
            break;
        }
        const auto [endLine, endByte] = window.At(offset + needle_.size() - 1);
        if (endLine == index) {
            matches.push_back({index, HexSpan(offset, offset + needle_.size()), std::nullopt});
        } else {
            matches.push_back({index, HexSpan(offset, line.bytes.size()),
                               LineEnd{endLine, HexSpan(0, endByte + 1)}});
        }
    }
    return matches;
}

std::vector<TextSpan> LineQuery::PartsIn(const LineStore& store, std::size_t index) const {
    const StoredLine& line = store.At(index);
    if (!hex_ || line.form != LineForm::kHex) {
        return MatchesIn(line);
    }
    const RunWindow window = WindowAround(store, index, needle_.size() - 1, needle_.size() - 1);
    std::vector<TextSpan> parts;
    const std::size_t ownEnd = window.own + line.bytes.size();
    for (const std::size_t offset : ByteOffsets(window.bytes, needle_)) {
        const std::size_t from = std::max(offset, window.own);
        const std::size_t to = std::min(offset + needle_.size(), ownEnd);
        if (from < to) {
            parts.push_back(HexSpan(from - window.own, to - window.own));
        }
    }
    return parts;
}

std::vector<TextSpan> LineQuery::TextMatches(const std::string& shown) const {
    std::vector<TextSpan> spans;
    const std::string lower = LowerCase(shown);
    for (std::size_t at = lower.find(needle_); at != std::string::npos;
         at = lower.find(needle_, at + needle_.size())) {
        spans.push_back({at, needle_.size()});
    }
    return spans;
}

std::optional<LineMatch> FindMatch(const LineStore& store, const LineQuery& query,
                                   const std::optional<LineMatch>& from, bool forward) {
    const std::size_t count = store.Size();
    if (count == 0) {
        return std::nullopt;
    }
    const std::size_t start = from ? std::min(from->line, count - 1) : (forward ? 0 : count - 1);
    // The start line is looked at twice: after `from` first, and before it once around.
    for (std::size_t step = 0; step <= count; ++step) {
        const std::size_t line =
            forward ? (start + step) % count : (start + count - step % count) % count;
        const std::vector<LineMatch> matches = query.StartsIn(store, line);
        const bool first = step == 0 && from.has_value();
        const bool last = step == count;
        if (forward) {
            for (const LineMatch& match : matches) {
                if ((!first || match.span.start > from->span.start) &&
                    (!last || !from || match.span.start <= from->span.start)) {
                    return match;
                }
            }
        } else {
            for (auto it = matches.rbegin(); it != matches.rend(); ++it) {
                if ((!first || it->span.start < from->span.start) &&
                    (!last || !from || it->span.start >= from->span.start)) {
                    return *it;
                }
            }
        }
    }
    return std::nullopt;
}

}  // namespace brantel
