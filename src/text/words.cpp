#include "text/words.h"

#include <cstddef>

namespace brantel {

DelimiterSet::DelimiterSet(std::string_view characters) {
    for (char c : characters) {
        bits_.set(static_cast<unsigned char>(c));
    }
}

namespace {

std::size_t SkipDelimiters(std::string_view text, std::size_t i, const DelimiterSet& delimiters) {
    while (i < text.size() && delimiters.Contains(text[i])) {
        ++i;
    }
    return i;
}

std::size_t SkipWord(std::string_view text, std::size_t i, const DelimiterSet& delimiters) {
    while (i < text.size() && !delimiters.Contains(text[i])) {
        ++i;
    }
    return i;
}

// Index (from 0) of the first character of word n, or npos.
std::size_t WordIndex(int n, std::string_view text, const DelimiterSet& delimiters) {
    int word = 0;
    for (std::size_t i = SkipDelimiters(text, 0, delimiters); i < text.size() && n >= 1;
         i = SkipDelimiters(text, SkipWord(text, i, delimiters), delimiters)) {
        if (++word == n) {
            return i;
        }
    }
    return std::string_view::npos;
}

}  // namespace

int CountWords(std::string_view text, const DelimiterSet& delimiters) {
    int count = 0;
    for (std::size_t i = SkipDelimiters(text, 0, delimiters); i < text.size();
         i = SkipDelimiters(text, SkipWord(text, i, delimiters), delimiters)) {
        ++count;
    }
    return count;
}

int WordStart(int n, std::string_view text, const DelimiterSet& delimiters) {
    const std::size_t index = WordIndex(n, text, delimiters);
    return index == std::string_view::npos ? 0 : static_cast<int>(index) + 1;
}

std::string GetWord(int n, std::string_view text, const DelimiterSet& delimiters) {
    const std::size_t start = WordIndex(n, text, delimiters);
    if (start == std::string_view::npos) {
        return {};
    }
    const std::size_t end = SkipWord(text, start, delimiters);
    return std::string(text.substr(start, end - start));
}

std::vector<std::string_view> Words(std::string_view text, const DelimiterSet& delimiters) {
    std::vector<std::string_view> words;
    for (std::size_t i = SkipDelimiters(text, 0, delimiters); i < text.size();) {
        const std::size_t end = SkipWord(text, i, delimiters);
        words.push_back(text.substr(i, end - i));
        i = SkipDelimiters(text, end, delimiters);
    }
    return words;
}

}  // namespace brantel
