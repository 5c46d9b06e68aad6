#include "checks/check_token.h"

#include <gtest/gtest.h>

#include "text/hex_line.h"
#include "text/integers.h"

namespace brantel {
namespace {

std::string Hex(std::string_view bytes) {
    std::string line = HexLine(bytes);
    line.pop_back();
    return line;
}

// The sums on inputs whose values are published or worked out by hand, each written in its
// default byte order, forced orders and hex digits.
TEST(CheckToken, ValuesAndHowTheyAreWritten) {
    struct Case {
        const char* token;
        const char* bytes;
        const char* written;
    };
    const Case cases[] = {
        {"SUM-8", "123456789", "DD"},
        {"SUM-16", "123456789", "01 DD"},
        {"SUM-16:LE", "123456789", "DD 01"},
        {"XOR-8", "123456789", "31"},
        {"XOR-8:HEX", "123456789", "33 31"},
        {"LRC-8", "123456789", "23"},
        {"FLETCHER-16", "abcde", "C8 F0"},
        {"ADLER-32", "Wikipedia", "11 E6 03 98"},
        {"CRC-16/MODBUS", "123456789", "37 4B"},
        {"CRC-16/MODBUS:BE", "123456789", "4B 37"},
        {"CRC-16/MODBUS:HEX", "123456789", "33 37 34 42"},
        {"CRC-16/XMODEM", "123456789", "31 C3"},
        {"CRC-16(1021,0,0,0,0):LE", "123456789", "C3 31"},
    };
    for (const Case& c : cases) {
        const auto check = ParseCheckToken(c.token);
        ASSERT_TRUE(check) << c.token;
        EXPECT_EQ(Hex(check->Bytes(check->algorithm.Compute(c.bytes))), c.written) << c.token;
    }
}

TEST(CheckToken, ReadsRangesAndSuffixesAndRefusesWhatIsNoCheck) {
    const auto nmea = ParseCheckToken("XOR-8(2..-2):HEX");
    ASSERT_TRUE(nmea);
    EXPECT_EQ(nmea->first, 2);
    EXPECT_EQ(nmea->last, -2);
    EXPECT_TRUE(nmea->hex);
    EXPECT_EQ(nmea->Text(), "XOR-8(2..-2):HEX");
    const auto generic = ParseCheckToken("CRC-16(1021,ffff,0,1,0)(3..)");
    ASSERT_TRUE(generic);
    EXPECT_EQ(generic->algorithm.crc, (CrcModel{16, 0x1021, 0xFFFF, false, true, 0}));
    EXPECT_EQ(generic->Text(), "CRC-16(1021,FFFF,0,1,0)(3..)");
    EXPECT_EQ(ParseCheckToken("CRC-16/MODBUS:LE")->Text(), "CRC-16/MODBUS");
    EXPECT_EQ(ParseCheckToken("CRC-32")->algorithm.name, "CRC-32/ISO-HDLC");
    for (const char* none :
         {"CRC", "CRC16", "crc-16/modbus", "CRC-16/MODBUS2", "XOR-8(0..)", "XOR-8(2..0)",
          "XOR-8(2-3)", "SUM-8:BE:LE", "SUM-8:HEX:HEX", "SUM-8:", "CRC-65(1,0,0,0,0)",
          "CRC-8(100,0,0,0,0)", "CRC-8(7,0,0,2,0)", "CRC-8(7,0,0,0)", "R:U16"}) {
        EXPECT_FALSE(ParseCheckToken(none)) << none;
    }
}

TEST(CheckToken, CoversTheBytesBeforeItOrSaysWhyNot) {
    const auto whole = CoveredBy(*ParseCheckToken("SUM-8"), 5);
    EXPECT_EQ(whole.begin, 0u);
    EXPECT_EQ(whole.end, 5u);
    const auto nmea = CoveredBy(*ParseCheckToken("XOR-8(2..-2)"), 10);
    EXPECT_EQ(nmea.begin, 1u);
    EXPECT_EQ(nmea.end, 9u);
    const auto fixed = CoveredBy(*ParseCheckToken("XOR-8(2..4)"), 10);
    EXPECT_EQ(fixed.end, 4u);
    EXPECT_THROW(CoveredBy(*ParseCheckToken("SUM-8"), 0), ConversionError);
    EXPECT_THROW(CoveredBy(*ParseCheckToken("SUM-8(5..)"), 3), ConversionError);
    EXPECT_THROW(CoveredBy(*ParseCheckToken("SUM-8(1..-4)"), 3), ConversionError);
    EXPECT_THROW(CoveredBy(*ParseCheckToken("SUM-8(1..4)"), 3), ConversionError);
    try {
        CoveredBy(*ParseCheckToken("XOR-8(2..-2)"), 2);
        ADD_FAILURE();
    } catch (const ConversionError& error) {
        EXPECT_STREQ(error.what(),
                     "`XOR-8(2..-2)` at byte 3 would cover bytes 2 to 1, but only bytes 1 to 2 "
                     "lie before it");
    }
}

TEST(CheckToken, MistypedNamesFindTheirClosestCheck) {
    struct Case {
        const char* text;
        bool looksLikeCheck;
        const char* closest;
    };
    const Case cases[] = {
        {"CRC16", true, "CRC-16"},
        {"crc-16/modbus", true, "CRC-16/MODBUS"},
        {"CRC-16/MODBUS2", true, "CRC-16/MODBUS"},
        {"sum16", true, "SUM-16"},
        {"CRC", false, nullptr},
        {"crc", false, nullptr},
        {"SUMMARY", false, nullptr},
        {"V", false, nullptr},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LooksLikeCheck(c.text), c.looksLikeCheck) << c.text;
        if (c.closest != nullptr) {
            EXPECT_EQ(ClosestCheckName(c.text), c.closest) << c.text;
        }
    }
}

}  // namespace
}  // namespace brantel
