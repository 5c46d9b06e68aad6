#include "text/hex_line.h"

#include "text/integers.h"

namespace brantel {

std::string HexLine(std::string_view data) {
    std::string line;
    line.reserve(data.size() * 3);
    for (char byte : data) {
        line += HexText(static_cast<unsigned char>(byte), 2);
        line += ' ';
    }
    return line;
}

}  // namespace brantel
