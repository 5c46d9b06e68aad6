#include "platform/profile_text.h"

#include <algorithm>
#include <stdexcept>

#include "platform/ascii_case.h"

namespace brantel {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsQuote(char c) {
    return c == '"' || c == '\'';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

enum class LineKind { kOther, kBlank, kSection, kKey };

// One line of the file: [start, end) is its text without the line ending, `next` the start of
// the following line.
struct Line {
    std::size_t start = 0;
    std::size_t end = 0;
    std::size_t next = 0;
    bool terminated = false;
    LineKind kind = LineKind::kOther;
    std::string_view name;
    std::string_view value;
};

Line ParseLine(std::string_view content, std::size_t start) {
    Line line;
    line.start = start;
    const std::size_t newline = content.find('\n', start);
    line.next = newline == std::string_view::npos ? content.size() : newline + 1;
    line.end = newline == std::string_view::npos ? content.size() : newline;
    line.terminated = newline != std::string_view::npos;
    if (line.end > start && content[line.end - 1] == '\r') {
        --line.end;
    }
    const std::string_view text = TrimBlanks(content.substr(start, line.end - start));
    if (text.empty()) {
        line.kind = LineKind::kBlank;
    } else if (text.front() == '[') {
        line.kind = LineKind::kSection;
        line.name = TrimBlanks(text.substr(1, text.find(']') - 1));
    } else if (text.front() != ';' && text.find('=') != std::string_view::npos) {
        const std::size_t equals = text.find('=');
        line.kind = LineKind::kKey;
        line.name = TrimBlanks(text.substr(0, equals));
        line.value = TrimBlanks(text.substr(equals + 1));
    }
    return line;
}

// Walks the file's lines and finds where `key` of `section` is, or would go.
struct KeyPlace {
    bool sectionFound = false;
    bool keyFound = false;
    Line keyLine;
    // The last non-blank line of the first section of that name (its header at least).
    Line sectionTail;
    bool lastLineBlank = true;
};

// A UTF-8 byte-order mark, as editors on Windows write it before the first line.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

KeyPlace LocateKey(std::string_view content, std::string_view section, std::string_view key) {
    KeyPlace place;
    bool inSection = false;
    bool inFirstSection = false;
    // The mark is no part of the first line (a section header, most often); it is kept.
    const std::size_t first = content.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
    for (std::size_t start = first; start < content.size();) {
        const Line line = ParseLine(content, start);
        start = line.next;
        place.lastLineBlank = line.kind == LineKind::kBlank;
        if (line.kind == LineKind::kSection) {
            inSection = SameName(line.name, section);
            inFirstSection = inSection && !place.sectionFound;
            place.sectionFound = place.sectionFound || inSection;
        }
        if (inFirstSection && line.kind != LineKind::kBlank) {
            place.sectionTail = line;
        }
        if (inSection && line.kind == LineKind::kKey && SameName(line.name, key)) {
            place.keyFound = true;
            place.keyLine = line;
            return place;
        }
    }
    return place;
}

std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && IsQuote(value.front()) && value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

bool HasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

bool IsStorableName(std::string_view name, std::string_view forbidden) {
    return !name.empty() && !IsBlank(name.front()) && !IsBlank(name.back()) &&
           !HasLineBreak(name) && name.find_first_of(forbidden) == std::string_view::npos;
}

void CheckStorable(std::string_view section, std::string_view key, std::string_view value) {
    if (!IsStorableName(section, "]")) {
        throw std::invalid_argument("Invalid profile section name '" + std::string(section) + "'");
    }
    if (!IsStorableName(key, "=") || key.front() == ';' || key.front() == '[') {
        throw std::invalid_argument("Invalid profile key name '" + std::string(key) + "'");
    }
    if (HasLineBreak(value)) {
        throw std::invalid_argument("The value of " + std::string(key) +
                                    " cannot hold a line break");
    }
}

}  // namespace

std::optional<std::string> FindProfileValue(std::string_view content, std::string_view section,
                                            std::string_view key) {
    const KeyPlace place = LocateKey(content, section, key);
    if (!place.keyFound) {
        return std::nullopt;
    }
    return std::string(Unquote(place.keyLine.value));
}

std::vector<ProfileEntry> ProfileSection(std::string_view content, std::string_view section) {
    std::vector<ProfileEntry> entries;
    bool inSection = false;
    const std::size_t first = content.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
    for (std::size_t start = first; start < content.size();) {
        const Line line = ParseLine(content, start);
        start = line.next;
        if (line.kind == LineKind::kSection) {
            inSection = SameName(line.name, section);
        }
        const auto seen = [&](const ProfileEntry& entry) { return SameName(entry.key, line.name); };
        if (inSection && line.kind == LineKind::kKey &&
            std::none_of(entries.begin(), entries.end(), seen)) {
            entries.push_back({std::string(line.name), std::string(Unquote(line.value))});
        }
    }
    return entries;
}

std::string QuoteProfileValue(std::string_view value) {
    const bool exposed = !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()) ||
                                            IsQuote(value.front()) || IsQuote(value.back()));
    return exposed ? "\"" + std::string(value) + "\"" : std::string(value);
}

std::string WithProfileValue(std::string_view content, std::string_view section,
                             std::string_view key, std::string_view value) {
    CheckStorable(section, key, value);
    const std::string storedValue = QuoteProfileValue(value);
    const std::string keyLine = std::string(key) + "=" + storedValue;
    const KeyPlace place = LocateKey(content, section, key);
    std::string result;
    result.reserve(content.size() + keyLine.size() + section.size() + 8);
    if (place.keyFound) {
        const Line& line = place.keyLine;
        // The key keeps the spelling it has in the file.
        result.append(content.substr(0, line.start)).append(line.name).append("=");
        result.append(storedValue);
        result.append(content.substr(line.end, line.next - line.end));
        if (!line.terminated) {
            result.push_back('\n');
        }
        result.append(content.substr(line.next));
        return result;
    }
    if (place.sectionFound) {
        const Line& tail = place.sectionTail;
        result.append(content.substr(0, tail.next));
        if (!tail.terminated) {
            result.push_back('\n');
        }
        result.append(keyLine).push_back('\n');
        result.append(content.substr(tail.next));
        return result;
    }
    result.append(content);
    if (!result.empty() && result.back() != '\n') {
        result.push_back('\n');
    }
    if (!place.lastLineBlank) {
        result.push_back('\n');
    }
    result.append("[").append(section).append("]\n").append(keyLine).push_back('\n');
    return result;
}

}  // namespace brantel
