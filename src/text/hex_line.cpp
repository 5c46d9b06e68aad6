#include "text/hex_line.h"

namespace brantel {

std::string HexLine(std::string_view data) {
    // Written in place: a log line is made each time it is drawn.
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string line(data.size() * 3, ' ');
    char* out = line.data();
    for (const char byte : data) {
        const auto value = static_cast<unsigned char>(byte);
        out[0] = kDigits[value >> 4];
        out[1] = kDigits[value & 0xF];
        out += 3;
    }
    return line;
}

}  // namespace brantel
