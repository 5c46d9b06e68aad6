#include "frames/response_watch.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "fake_frame_inputs.h"
#include "text/hex_line.h"

namespace brantel {
namespace {

using std::chrono::milliseconds;
using namespace std::string_literals;

// One event at a time after the start: a send of a row with its Response cell (the open watch
// judged first, as the window does), or a read of the port.
struct Step {
    int atMs;
    enum { kSend, kRead } what;
    std::string text;  // the Response cell sent, or the bytes read
    std::optional<std::string> annotation;
};

struct WatchCase {
    const char* name;
    std::vector<Step> steps;
};

TEST(ResponseWatch, JudgesTheAnswerOnceItIsComplete) {
    const std::string status = "A 02 L CRC";
    const WatchCase cases[] = {
        {"answer with a check in two reads: judged as its last byte comes",
         {{0, Step::kSend, status, std::nullopt},
          {100, Step::kRead, "\x50\x02", std::nullopt},
          {200, Step::kRead, "\x04\x56", "// response as expected"},
          {300, Step::kRead, "", std::nullopt}}},
        {"a whole answer with more after it waits for the quiet",
         {{0, Step::kSend, status, std::nullopt},
          {100, Step::kRead, "\x50\x02\x04\x56\x00"s, std::nullopt},
          {200, Step::kRead, "",
           "// response differs: expected 50 02 L CRC, received 50 02 04 56 00"}}},
        {"an answer without a check waits for the quiet",
         {{0, Step::kSend, "50 02", std::nullopt},
          {100, Step::kRead, "\x50\x02", std::nullopt},
          {200, Step::kRead, "", "// response as expected"}}},
        {"answer that differs",
         {{0, Step::kSend, status, std::nullopt},
          {100, Step::kRead, "\x50\x82\x05\x02\xD9", std::nullopt},
          {200, Step::kRead, "",
           "// response differs: expected 50 02 L CRC, received 50 82 05 02 D9"}}},
        {"no answer within the time-out",
         {{0, Step::kSend, status, std::nullopt},
          {100, Step::kRead, "", std::nullopt},
          {499, Step::kRead, "", std::nullopt},
          {500, Step::kRead, "", "// response differs: expected 50 02 L CRC, received nothing"},
          {600, Step::kRead, "", std::nullopt}}},
        {"an answer begun in time is waited for",
         {{0, Step::kSend, status, std::nullopt},
          {450, Step::kRead, "\x50", std::nullopt},
          {550, Step::kRead, "\x02\x04", std::nullopt},
          {650, Step::kRead, "\x56", "// response as expected"}}},
        {"the next send judges the open watch on what came",
         {{0, Step::kSend, status, std::nullopt},
          {100, Step::kRead, "\x50\x02", std::nullopt},
          {150, Step::kSend, "* ", "// response differs: expected 50 02 L CRC, received 50 02"},
          {250, Step::kRead, "", std::nullopt},
          {650, Step::kRead, "", "// response as expected"}}},
        {"a note or an empty cell is not watched",
         {{0, Step::kSend, "no answer", std::nullopt},
          {100, Step::kRead, "\x50", std::nullopt},
          {200, Step::kRead, "", std::nullopt},
          {900, Step::kRead, "", std::nullopt},
          {1000, Step::kSend, "", std::nullopt}}},
    };
    FakeFrameInputs inputs;
    for (const WatchCase& c : cases) {
        SCOPED_TRACE(c.name);
        ResponseWatch watch;
        const ResponseWatch::Clock::time_point start{};
        for (const Step& step : c.steps) {
            SCOPED_TRACE(step.atMs);
            const auto now = start + milliseconds(step.atMs);
            std::optional<JudgedAnswer> judged;
            if (step.what == Step::kSend) {
                judged = watch.Finish();
                if (auto expected = ExpectedResponse::FromCell(step.text, inputs)) {
                    watch.Start(std::move(*expected), now);
                }
            } else {
                judged = watch.Read(step.text, now);
            }
            EXPECT_EQ(judged ? std::optional(judged->line) : std::nullopt, step.annotation);
        }
    }
}

// The judgement carries the verdict and the row it answers; the fields' values count only in
// an answer that matched. A watch is awaited from its start until it is judged.
TEST(ResponseWatch, JudgementCarriesTheRowAndTheFieldsOfAMatch) {
    FakeFrameInputs inputs;
    const ResponseWatch::Clock::time_point start{};
    const auto watched = [&](ResponseWatch& watch, int row) {
        EXPECT_FALSE(watch.Awaiting());
        watch.Start(*ExpectedResponse::FromCell("02 T:S16*0.1 P:U8*0.01", inputs), start, row);
        EXPECT_TRUE(watch.Awaiting());
    };
    {
        ResponseWatch watch;
        watched(watch, 7);
        EXPECT_EQ(watch.Read("\x02\x00\xD7"s, start + milliseconds(100)), std::nullopt);
        EXPECT_EQ(watch.Read("\x66", start + milliseconds(200)), std::nullopt);
        const std::optional<JudgedAnswer> judged = watch.Read("", start + milliseconds(300));
        EXPECT_FALSE(watch.Awaiting());
        ASSERT_TRUE(judged);
        EXPECT_EQ(judged->row, 7);
        EXPECT_TRUE(judged->verdict.matches);
        EXPECT_EQ(judged->line, "// response as expected");
        ASSERT_EQ(judged->verdict.fields.size(), 2u);
        EXPECT_EQ(FieldsLine(judged->verdict.fields), "// T=21.5 P=1.02");
    }
    {
        ResponseWatch watch;
        watched(watch, 3);
        const std::optional<JudgedAnswer> judged = watch.Read("", start + kResponseTimeout);
        ASSERT_TRUE(judged);
        EXPECT_EQ(judged->row, 3);
        EXPECT_FALSE(judged->verdict.matches);
        EXPECT_TRUE(judged->verdict.fields.empty());
        EXPECT_FALSE(watch.Awaiting());
    }
}

// A device that keeps talking is judged once the answer goes past the limits, on a verdict of
// bounded length that says why.
TEST(ResponseWatch, AnswerThatGoesOnIsJudgedWithinTheLimits) {
    FakeFrameInputs inputs;
    const ResponseWatch::Clock::time_point start{};
    const std::string kilobyte(1024, '\x01');
    struct Flood {
        const char* name;
        int readsEveryMs;
        int judgedAtMs;
        const char* bytesShown;
        const char* why;
    };
    const Flood floods[] = {
        {"a drip of a kilobyte a read", 100, 5100, " ... (52224 bytes)",
         "; the answer went on for more than 5000 ms"},
        {"a flood of a kilobyte a millisecond", 1, 65, " ... (65536 bytes)",
         "; the answer was longer than 65536 bytes (1024 more drained)"},
    };
    const std::string shown = HexLine(kilobyte.substr(0, kVerdictBytesShown));
    for (const Flood& flood : floods) {
        SCOPED_TRACE(flood.name);
        ResponseWatch watch;
        watch.Start(*ExpectedResponse::FromCell("A 02 L CRC", inputs), start);
        std::optional<JudgedAnswer> judged;
        int at = 0;
        while (!judged && at < 60000) {
            at += flood.readsEveryMs;
            judged = watch.Read(kilobyte, start + milliseconds(at));
        }
        ASSERT_TRUE(judged);
        EXPECT_EQ(at, flood.judgedAtMs);
        EXPECT_FALSE(judged->verdict.matches);
        EXPECT_EQ(judged->line, "// response differs: expected 50 02 L CRC, received " +
                                    shown.substr(0, shown.size() - 1) + flood.bytesShown +
                                    flood.why);
        EXPECT_FALSE(watch.Awaiting());
    }
}

TEST(ResponseWatch, FieldsTextNamesEachValue) {
    EXPECT_EQ(FieldsText({}), "");
    EXPECT_EQ(FieldsText({{"T", {21.5, "21.5"}}}), "T=21.5");
    EXPECT_EQ(FieldsLine({{"T", {21.5, "21.5"}}, {"RUN", {1, "1"}}}), "// T=21.5 RUN=1");
}

}  // namespace
}  // namespace brantel
