#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace brantel::fuzz {

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// The input's lines, split at "\n" only; a final "\n" gives a last, empty line.
inline std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    for (std::size_t start = 0;;) {
        const std::size_t newline = text.find('\n', start);
        if (newline == std::string_view::npos) {
            lines.push_back(text.substr(start));
            return lines;
        }
        lines.push_back(text.substr(start, newline - start));
        start = newline + 1;
    }
}

// The input's first line (up to the first "\n") and the rest after it.
struct FirstLineAndRest {
    std::string_view first;
    std::string_view rest;
};

inline FirstLineAndRest SplitFirstLine(std::string_view text) {
    const std::size_t newline = text.find('\n');
    if (newline == std::string_view::npos) {
        return {text, {}};
    }
    return {text.substr(0, newline), text.substr(newline + 1)};
}

// An exception's what() is a C string: a message shows its text up to the first NUL byte.
inline std::string_view ShownMessage(std::string_view message) {
    return message.substr(0, message.find('\0'));
}

// Stops the run when a property does not hold, so libFuzzer keeps the input as a finding.
inline void Check(bool holds, const char* property) {
    if (!holds) {
        std::fprintf(stderr, "Property violated: %s\n", property);
        std::abort();
    }
}

}  // namespace brantel::fuzz
