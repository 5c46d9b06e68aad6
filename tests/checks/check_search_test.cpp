#include "checks/check_search.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "support/hex_bytes.h"

namespace brantel {
namespace {

std::vector<std::string> HexFrames(std::initializer_list<const char*> hex) {
    std::vector<std::string> frames;
    for (const char* line : hex) {
        frames.push_back(test::Bytes(line));
    }
    return frames;
}

// Captured bytes whose check is known from the protocol; the best guess is the check itself,
// and every check found really is each frame's trailing bytes when read back from its text.
TEST(CheckSearch, FindsTheCheckOfCapturedFramesFirst) {
    std::mt19937 random(20240611);
    std::vector<std::string> noise(4, std::string(64, '\0'));
    for (std::string& frame : noise) {
        for (char& byte : frame) {
            byte = static_cast<char>(random() & 0xFF);
        }
    }
    struct Case {
        const char* what;
        std::vector<std::string> frames;
        const char* best;  // nullptr: nothing found
    };
    const Case cases[] = {
        {"a Modbus RTU request and its answer",
         HexFrames({"01 03 00 00 00 0A C5 CD", "01 03 02 00 0A 38 43"}), "CRC-16/MODBUS"},
        // Some 8-bit CRC holds by chance over the same bytes; the 16-bit one is likelier.
        {"a Modbus RTU answer alone", HexFrames({"01 03 02 00 0A 38 43"}), "CRC-16/MODBUS"},
        {"the same CRC written high byte first",
         HexFrames({"01 03 00 00 00 0A CD C5", "01 03 02 00 0A 43 38"}), "CRC-16/MODBUS:BE"},
        {"NMEA sentences without CR LF",
         {"$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47",
          "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A"},
         "XOR-8(2..-2):HEX"},
        {"a 16-bit sum after STX, high byte first",
         HexFrames(
             {"02 10 20 FF FE 31 02 5E", "02 41 42 43 44 45 46 47 48 02 24", "02 80 90 A0 01 B0"}),
         "SUM-16(2..)"},
        // SUM-8(2..) would cover nothing in the first frame, so it is ruled out, not an error.
        {"a frame with one byte before its check", HexFrames({"05 05", "01 02 03 06"}), "SUM-8"},
        // SUM-8(2..) holds too, but XOR-8 needs fewer choices though it comes later.
        {"a whole-frame XOR and a sum from byte 2", HexFrames({"02 01 01 02", "06 03 01 04"}),
         "XOR-8"},
        {"a frame of one byte among good ones", HexFrames({"01 03 00 00 00 0A C5 CD", "01"}),
         nullptr},
        {"an empty frame", HexFrames({"01 03 00 00 00 0A C5 CD", ""}), nullptr},
        {"no frames", {}, nullptr},
        {"random bytes", noise, nullptr},
    };
    for (const Case& c : cases) {
        const std::vector<CheckToken> found = FindChecks(c.frames);
        if (c.best == nullptr) {
            EXPECT_TRUE(found.empty()) << c.what << ": " << found.front().Text();
            continue;
        }
        ASSERT_FALSE(found.empty()) << c.what;
        EXPECT_EQ(found.front().Text(), c.best) << c.what;
        for (const CheckToken& check : found) {
            const auto read = ParseCheckToken(check.Text());
            ASSERT_TRUE(read) << c.what << ": " << check.Text();
            for (const std::string& frame : c.frames) {
                const std::size_t at = frame.size() - read->Size();
                const CoveredBytes covered = CoveredBy(*read, at);
                const std::string_view bytes(frame.data() + covered.begin,
                                             covered.end - covered.begin);
                EXPECT_EQ(frame.substr(at), read->Bytes(read->algorithm.Compute(bytes)))
                    << c.what << ": " << check.Text();
            }
        }
    }
}

}  // namespace
}  // namespace brantel
