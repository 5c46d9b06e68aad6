#include "text/strings.h"

#include <cstddef>

namespace brantel {

std::string RemoveChar(std::string_view text, char c) {
    std::string result;
    result.reserve(text.size());
    for (char ch : text) {
        if (ch != c) {
            result.push_back(ch);
        }
    }
    return result;
}

std::string RemoveSpaces(std::string_view text) {
    return RemoveChar(text, ' ');
}

int FindNth(std::string_view substring, std::string_view text, int n) {
    if (substring.empty() || n < 1) {
        return 0;
    }
    std::size_t from = 0;
    for (int found = 0;;) {
        const std::size_t at = text.find(substring, from);
        if (at == std::string_view::npos) {
            return 0;
        }
        if (++found == n) {
            return static_cast<int>(at) + 1;
        }
        from = at + 1;
    }
}

std::string ReplaceAll(std::string_view text, std::string_view search,
                       std::string_view replacement) {
    if (search.empty()) {
        return std::string(text);
    }
    std::string result;
    std::size_t from = 0;
    for (std::size_t at = text.find(search); at != std::string_view::npos;
         at = text.find(search, from)) {
        result.append(text.substr(from, at - from));
        result.append(replacement);
        from = at + search.size();
    }
    result.append(text.substr(from));
    return result;
}

}  // namespace brantel
