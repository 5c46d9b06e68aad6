#include <gtest/gtest.h>

#include <cstddef>
#include <numeric>
#include <optional>
#include <string>

#include "frames/expected_response.h"
#include "frames/fixed_frame_inputs.h"
#include "frames/frame_builder.h"
#include "frames/frame_explanation.h"
#include "text/integers.h"

namespace brantel {
namespace {

constexpr std::size_t kParamBytes = 65536;
constexpr std::size_t kParamsThatFit = kMaxFrameBytes / kParamBytes;

struct SizeCase {
    std::string tail;  // after the parameters that fill the frame to the byte
    bool frameFits;
    bool responseFits;
};

std::string Filled(const std::string& tail) {
    std::string frameTemplate;
    for (std::size_t i = 0; i < kParamsThatFit; ++i) {
        frameTemplate += "N ";
    }
    return frameTemplate + tail;
}

// Every reader of a template stops with its own message at the token whose bytes would pass the
// cap, through the path it has for a variable that fails; nothing is appended past it.
TEST(FrameSizeTest, EveryReaderStopsAtTheCapWithAClearError) {
    std::string manyParams;
    for (int i = 0; i < 100; ++i) {
        manyParams += " N";
    }
    const SizeCase cases[] = {
        {"", true, true},    {"X0 [note]", true, true}, {"01", false, false},
        {"A", false, false}, {"L", false, false},       {"CRC", false, false},
        {"N", false, false}, {"EF", false, false},      {"??", false, false},
        {"*", false, true},  {"D", false, true},        {manyParams, false, false},
    };
    FixedFrameInputs inputs;
    inputs.params.Parse("N:" + std::string(kParamBytes, 'x'));
    inputs.variables = {"1"};
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(c.tail.substr(0, 8));
        const std::string frameTemplate = Filled(c.tail);
        try {
            EXPECT_EQ(BuildFrame(frameTemplate, inputs).size(), kMaxFrameBytes);
            EXPECT_TRUE(c.frameFits);
        } catch (const ConversionError& error) {
            EXPECT_EQ(std::string(error.what()), "the frame would be longer than 1048576 bytes");
            EXPECT_FALSE(c.frameFits);
        }

        const FrameExplanation explanation = ExplainFrame(frameTemplate, inputs);
        EXPECT_EQ(explanation.built, c.frameFits);
        const std::size_t placed =
            std::accumulate(explanation.tokens.begin(), explanation.tokens.end(), std::size_t{0},
                            [](std::size_t sum, const TokenExplanation& token) {
                                return sum + token.bytes.size();
                            });
        EXPECT_EQ(placed, kMaxFrameBytes);
        if (!c.frameFits) {
            EXPECT_EQ(explanation.tokens.size(), kParamsThatFit + 1);
            EXPECT_TRUE(explanation.tokens.back().failed);
            EXPECT_EQ(explanation.failure, "`" + explanation.tokens.back().text + "`, token " +
                                               std::to_string(kParamsThatFit + 1) +
                                               ": the frame would be longer than 1048576 bytes");
        }

        try {
            ExpectedResponse::FromCell(frameTemplate, inputs);
            EXPECT_TRUE(c.responseFits);
        } catch (const ConversionError& error) {
            EXPECT_EQ(std::string(error.what()),
                      "the expected response would be longer than 1048576 bytes");
            EXPECT_FALSE(c.responseFits);
        }
    }
}

// A variable that fails before the cap keeps its own message; the rest is placed up to the cap.
TEST(FrameSizeTest, AFailedCellBeforeTheCapKeepsItsMessage) {
    FixedFrameInputs inputs;
    inputs.params.Parse("N:" + std::string(kParamBytes, 'x'));
    const FrameExplanation explanation = ExplainFrame("D " + Filled("N"), inputs);
    EXPECT_FALSE(explanation.built);
    EXPECT_EQ(explanation.error, "'' is not a valid integer value");
    // `D`, the parameters that still fit after its byte, and the one that would pass the cap.
    EXPECT_EQ(explanation.tokens.size(), kParamsThatFit + 1);
    EXPECT_TRUE(explanation.tokens.back().failed);
    EXPECT_EQ(explanation.failure, "`D` reads Var1: '' is not a valid integer value");
}

}  // namespace
}  // namespace brantel
