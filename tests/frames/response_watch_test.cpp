#include "frames/response_watch.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "fake_frame_inputs.h"

namespace brantel {
namespace {

using std::chrono::milliseconds;

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
        {"answer in two reads, then a quiet one",
         {{0, Step::kSend, status, std::nullopt},
          {100, Step::kRead, "\x50\x02", std::nullopt},
          {200, Step::kRead, "\x04\x56", std::nullopt},
          {300, Step::kRead, "", "// response as expected"}}},
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
          {550, Step::kRead, "\x02\x04\x56", std::nullopt},
          {650, Step::kRead, "", "// response as expected"}}},
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
            std::optional<std::string> annotation;
            if (step.what == Step::kSend) {
                annotation = watch.Finish();
                if (auto expected = ExpectedResponse::FromCell(step.text, inputs)) {
                    watch.Start(std::move(*expected), now);
                }
            } else {
                annotation = watch.Read(step.text, now);
            }
            EXPECT_EQ(annotation, step.annotation);
        }
    }
}

}  // namespace
}  // namespace brantel
