#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "frames/answer_values.h"
#include "frames/fixed_frame_inputs.h"
#include "frames/table_device.h"
#include "support/hex_bytes.h"
#include "text/hex_line.h"

namespace brantel {
namespace {

using test::Bytes;

std::string Hex(const std::string& bytes) {
    std::string text = HexLine(bytes);
    if (!text.empty()) {
        text.pop_back();
    }
    return text;
}

// A small Modbus register pair beside frames of the address-and-length kind.
TableDevice MakeDevice(const FixedFrameInputs& inputs) {
    AnswerValues values(1);
    values.SetSource("T", "21.5");
    values.SetSource("RUN", "1");
    values.SetSource("MODE", "5");
    values.SetSource("C", "counter(5,2)");
    values.SetSource("BIG", "300");
    return TableDevice(
        {
            {1, "01 03 R:U16 N:U16 CRC-16/MODBUS", "01 03 02 V:U16 CRC-16/MODBUS"},
            {2, "01 06 R:U16 V:U16 CRC-16/MODBUS", "01 06 R:U16 V:U16 CRC-16/MODBUS"},
            {3, "A 02 L CRC", "A 82 L T:S16*0.1 RUN:B0 MODE:B4-6 CRC"},
            {4, "A 09 L X CRC", "Reboots [no answer]"},
            {5, "A 07 L CRC", "A 87 L C CRC"},
            {6, "A 0B L CRC", "A 8B L BIG:U8 CRC"},
            {7, "", "50"},
        },
        inputs, std::move(values));
}

TEST(TableDevice, AnswersEachRequestByTheFirstMatchingRow) {
    FixedFrameInputs inputs;
    TableDevice device = MakeDevice(inputs);
    const struct {
        std::string request;
        int row;  // 0: no row matches
        std::string answer;
    } exchanges[] = {
        // A read before any write: the register reads 0; the write is echoed, then read back.
        {"01 03 00 01 00 01 D5 CA", 1, "01 03 02 00 00 B8 44"},
        {"01 06 00 01 00 03 98 0B", 2, "01 06 00 01 00 03 98 0B"},
        {"01 03 00 01 00 01 D5 CA", 1, "01 03 02 00 03 F8 45"},
        {"01 06 00 01 00 03 98 0C", 0, ""},  // its CRC does not hold
        {"01 03 00 01 00 01", 0, ""},
        // Scaled value and bit fields sharing a byte; the length and sum as the builder makes them.
        {"50 02 03 55", 0, ""},  // its length does not hold
        {"50 02 04 56", 3, "50 82 07 00 D7 51 01"},
        {"51 02 04 57", 0, ""},  // another device's address
        {"50 07 04 5B", 5, "50 87 05 05 E1"},
        {"50 07 04 5B", 5, "50 87 05 07 E3"},
    };
    for (const auto& exchange : exchanges) {
        const auto answer = device.Answer(Bytes(exchange.request), 0);
        ASSERT_EQ(answer.has_value(), exchange.row != 0) << exchange.request;
        if (answer) {
            EXPECT_EQ(answer->row, exchange.row) << exchange.request;
            ASSERT_TRUE(answer->bytes) << exchange.request << ": " << answer->error;
            EXPECT_EQ(Hex(*answer->bytes), exchange.answer) << exchange.request;
        }
    }
    // A note answers nothing; a value outside its field says so and sends nothing.
    const auto quiet = device.Answer(Bytes("50 09 05 11 6F"), 0);
    ASSERT_TRUE(quiet);
    EXPECT_EQ(quiet->row, 4);
    EXPECT_FALSE(quiet->bytes);
    EXPECT_EQ(quiet->error, "");
    const auto big = device.Answer(Bytes("50 0B 04 5F"), 0);
    ASSERT_TRUE(big);
    EXPECT_FALSE(big->bytes);
    EXPECT_EQ(big->error, "the value 300 of BIG is out of range for U8 (0 to 255 raw)");
}

TEST(TableDevice, SaysWhichRowsAnswerAndSplitsFramesByTheirLength) {
    FixedFrameInputs inputs;
    const TableDevice device = MakeDevice(inputs);
    std::vector<std::string> readings;
    for (const RowReading& reading : device.Readings()) {
        readings.push_back(std::to_string(reading.number) +
                           (reading.answers ? "" : " " + reading.why));
    }
    EXPECT_EQ(readings, (std::vector<std::string>{
                            "1", "2", "3",
                            "4 its Response cell is a note: `Reboots` is no byte, keyword, check "
                            "or value this table keeps",
                            "5", "6", "7 its Command cell matches no frame: the cell is empty"}));
    const struct {
        std::string pending;
        std::size_t size;
    } cases[] = {
        {"50 02 04 56 50 07 04 5B", 4},
        {"50 02 04", 0},     // the rest is still to come
        {"50 02 04 55", 0},  // the sum does not hold: the line going quiet ends it
        // A row of one size with a check needs no length byte; a longer frame only starts alike.
        {"01 06 00 01 00 03 98 0B 01 03 00 01 00 01 D5 CA", 8},
        {"01 06 00 01 00 03 98 0C 01", 0},
        {"", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(device.FrameSize(Bytes(c.pending)), c.size) << c.pending;
    }
}

TEST(TableDevice, MatchesTheFrameTheBuilderMakesOfEachRow) {
    FixedFrameInputs inputs;
    inputs.params.Parse("N:12 S:hi");
    inputs.variables = {"7", "$1234", "-2"};
    const std::string commands[] = {
        "A 03 R:U16 N:U16 CRC-16/MODBUS",
        "A 02 L CRC [status]",
        // The length and the sum land at their tokens' index, inside the copies of `V3`.
        "A V3 L W2 N S CRC",
        "A 01 L EF ?? CRC-8/SMBUS(2..-1) XOR-8:HEX",
        "A * 03 L",
    };
    for (const std::string& command : commands) {
        TableDevice device({{1, command, "A 01"}}, inputs, AnswerValues(1));
        const auto answer = device.Answer(BuildFrame(command, inputs), 0);
        ASSERT_TRUE(answer) << command;
        EXPECT_EQ(Hex(answer->bytes.value_or("")), "50 01") << command;
    }
}

TEST(AnswerValues, ReadTheirSourcesAndRefuseBadOnes) {
    AnswerValues values(7);
    values.SetSource("K", " 12.5 ");
    values.SetSource("N", "counter(1,10)");
    values.SetSource("W", "wave(20, 5, 60)");
    values.SetSource("R", "random(2,3)");
    values.AddWritable("V");
    EXPECT_EQ(values.Read("K", 0), 12.5);
    EXPECT_EQ(values.Read("N", 0), 1);
    EXPECT_EQ(values.Read("N", 0), 11);
    EXPECT_NEAR(*values.Read("W", 15), 25, 1e-9);
    EXPECT_NEAR(*values.Read("W", 45), 15, 1e-9);
    const double random = *values.Read("R", 0);
    EXPECT_TRUE(random >= 2 && random <= 3) << random;
    EXPECT_EQ(values.Read("V", 0), 0);
    values.Write("N", 4);
    EXPECT_EQ(values.Read("N", 0), 4);
    EXPECT_EQ(values.Read("Z", 0), std::nullopt);

    const struct {
        std::string text;
        std::string why;
    } bad[] = {
        {"abc",
         "'abc' is no number, counter(START,STEP), wave(MEAN,AMPLITUDE,PERIOD) or "
         "random(LOW,HIGH)"},
        {"wave(1,2)", "'wave(1,2)' takes 3 numbers"},
        {"wave(1,2,0)", "the period of 'wave(1,2,0)' must be above 0 seconds"},
        {"random(5,1)", "'random(5,1)' has LOW above HIGH"},
        {"ramp(1,2)",
         "'ramp(1,2)' is no number, counter(START,STEP), "
         "wave(MEAN,AMPLITUDE,PERIOD) or random(LOW,HIGH)"},
        {"counter(1,x)",
         "'counter(1,x)' is no number, counter(START,STEP), "
         "wave(MEAN,AMPLITUDE,PERIOD) or random(LOW,HIGH)"},
    };
    for (const auto& c : bad) {
        try {
            values.SetSource("B", c.text);
            ADD_FAILURE() << c.text;
        } catch (const std::invalid_argument& error) {
            EXPECT_EQ(error.what(), c.why);
        }
    }
    EXPECT_FALSE(values.Knows("B"));
}

}  // namespace
}  // namespace brantel
