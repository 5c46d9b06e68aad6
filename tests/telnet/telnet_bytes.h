#pragma once

#include <cstdio>
#include <initializer_list>
#include <string>
#include <string_view>

namespace brantel::test {

// Bytes written as numbers, as Telnet traces show them.
inline std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (const int value : values) {
        bytes.push_back(static_cast<char>(value));
    }
    return bytes;
}

// Bytes as two-digit hex separated by blanks, so a failed comparison reads like a trace.
inline std::string Trace(std::string_view bytes) {
    std::string text;
    for (const char c : bytes) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02x ", static_cast<unsigned char>(c));
        text += pair;
    }
    return text;
}

}  // namespace brantel::test
