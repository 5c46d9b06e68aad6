#include <gtest/gtest.h>

#include <string>

#include "fake_frame_inputs.h"
#include "frames/expected_response.h"
#include "support/hex_bytes.h"

namespace brantel {
namespace {

using test::Bytes;

// The fields' values as "NAME=TEXT" separated by spaces; the verdict's reason when it fails.
std::string Read(const std::string& cell, const std::string& answer) {
    FakeFrameInputs inputs;
    const auto expected = ExpectedResponse::FromCell(cell, inputs);
    if (!expected) {
        return "note";
    }
    const ResponseVerdict verdict = expected->Check(Bytes(answer));
    if (!verdict.matches) {
        return verdict.why;
    }
    std::string values;
    for (const ReadValue& field : verdict.fields) {
        values += (values.empty() ? "" : " ") + field.name + "=" + field.value.text;
    }
    return values;
}

TEST(ResponseFields, ReadEveryTypeOrderBitAndScale) {
    const struct {
        std::string cell;
        std::string answer;
        std::string values;
    } cases[] = {
        {"01 03 02 T:S16*0.1 CRC-16/MODBUS", "01 03 02 00 D7 F8 1A", "T=21.5"},
        {"01 03 02 T:S16*0.1 CRC-16/MODBUS", "01 03 02 00 D7 F8 1B",
         "CRC-16/MODBUS is F8 1B, expected F8 1A"},
        {"A:U8 B:S8 C:U16 D:S16LE", "FF FF 12 34 D4 FE", "A=255 B=-1 C=4660 D=-300"},
        {"E:U24 F:S24LE G:U32LE H:S32", "12 34 56 FF FF FF 01 00 00 00 80 00 00 00",
         "E=1193046 F=-1 G=1 H=-2147483648"},
        {"X:F32 Y:F32LE*2", "C0 10 00 00 00 00 C0 3F", "X=-2.25 Y=3"},
        {"P:U16*0.01+-40 Q:U8-0.5 R:S8*-1.5", "13 88 01 02", "P=10 Q=0.5 R=-3"},
        // Bit fields side by side share a byte until their bits overlap.
        {"01 RUN:B0 MODE:B4-6 ERR:B7 CRC", "01 D1 D2", "RUN=1 MODE=5 ERR=1"},
        {"A:B0 B:B0", "01 00", "A=1 B=0"},
        {"A:B0 B:B0", "01", "1 byte, expected 2 bytes"},
        {"01 L T:U16 *", "01 05 00 07 FF", "T=7"},
        // A field after "*" has no place of its own; a command-only range is no field.
        {"01 * T:U16", "01 00 07", "note"},
        {"T:B3-2", "01", "note"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Read(c.cell, c.answer), c.values) << c.cell;
    }
}

TEST(ResponseFields, ShowThemselvesAndSayWhyACellIsANote) {
    FakeFrameInputs inputs;
    const auto expected =
        ExpectedResponse::FromCell("01 RUN:B0 MODE:B4-6 T:S16LE*0.1+-40 CRC-16/MODBUS", inputs);
    ASSERT_TRUE(expected);
    EXPECT_EQ(expected->Text(), "01 RUN:B0 MODE:B4-6 T:S16LE*0.1+-40 CRC-16/MODBUS");
    ASSERT_EQ(expected->Fields().size(), 3u);
    EXPECT_EQ(expected->Fields()[1].at, 1u);
    EXPECT_EQ(expected->Fields()[2].at, 2u);
    const std::pair<std::string, std::string> notes[] = {
        {"01 * T:U16",
         "`T:U16` follows `*`, which only checks may follow: a field needs a place "
         "of its own"},
        {"01 [x]", "`[x]` is a comment, which makes the cell a note"},
        {"no answer", "`no` is no byte, keyword, check, field or wildcard: the cell is a note"},
    };
    for (const auto& [cell, why] : notes) {
        std::string whyNote;
        EXPECT_FALSE(ExpectedResponse::FromCell(cell, inputs, &whyNote));
        EXPECT_EQ(whyNote, why);
    }
}

}  // namespace
}  // namespace brantel
