#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace brantel::sim {

struct SimOptions {
    std::string link;    // empty: no link, the device path is only printed
    std::string record;  // empty: received bytes are not written anywhere
    bool echo = false;
    std::uint8_t address = 0x50;
    bool addressGiven = false;
    std::string table;                  // empty: the demo device answers
    std::vector<int> rows;              // of the table; empty: every row
    std::chrono::milliseconds gap{20};  // idle time that ends a frame
    bool help = false;
    bool version = false;
};

inline constexpr const char* kUsage =
    "usage: brantel-sim [--link PATH] [--record FILE] [--echo] [--address HEX] [--gap MS]\n"
    "                   [--table FILE.ini [--rows LIST]]\n"
    "       brantel-sim --help | --version\n"
    "  --link PATH    make PATH a symbolic link to the simulated device (removed at exit)\n"
    "  --record FILE  write every received byte to FILE as it arrives (FILE is emptied first)\n"
    "  --echo         send every received byte straight back\n"
    "  --address HEX  the device's address byte, 1 or 2 hexadecimal digits (default 50)\n"
    "  --gap MS       idle time in milliseconds that ends a frame, 1 to 10000 (default 20)\n"
    "  --table FILE   play the device a command table describes: a frame that matches a row's\n"
    "                 Command is answered with its Response (address: the table's, or --address)\n"
    "  --rows LIST    only these rows of the table answer, e.g. 1,3-5\n";

// The options, or the message that says what is wrong with the arguments.
std::variant<SimOptions, std::string> ParseSimOptions(const std::vector<std::string>& args);

}  // namespace brantel::sim
