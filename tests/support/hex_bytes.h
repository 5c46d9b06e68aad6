#pragma once

#include <sstream>
#include <string>

namespace brantel::test {

// "50 01 04" -> the three bytes.
inline std::string Bytes(const std::string& hex) {
    std::istringstream in(hex);
    std::string bytes;
    unsigned value = 0;
    while (in >> std::hex >> value) {
        bytes.push_back(static_cast<char>(value));
    }
    return bytes;
}

}  // namespace brantel::test
