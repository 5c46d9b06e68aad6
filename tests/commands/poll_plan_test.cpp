#include "commands/poll_plan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/profile_store.h"
#include "support/scratch_dir.h"

namespace brantel {
namespace {

using std::chrono::milliseconds;

TEST(PollSettings, DefaultsWhenNothingIsStoredAndRoundTrip) {
    const test::ScratchDir dir;
    ProfileStore store(dir.File("brantel.ini"));
    const PollSettings none = ReadPollSettings(store);
    EXPECT_EQ(none, PollSettings{});
    EXPECT_EQ(none.rows, "");
    EXPECT_EQ(none.intervalMs, 1000);
    EXPECT_TRUE(none.waitForAnswer);
    EXPECT_FALSE(none.startWhenOpen);

    const PollSettings settings{"3,5-6", 250, false, true};
    WritePollSettings(store, settings);
    EXPECT_EQ(test::FileText(store.Path()),
              "[Poll]\nRows=3,5-6\nIntervalMs=250\nWaitForAnswer=0\nStartWhenOpen=1\n");
    EXPECT_EQ(ReadPollSettings(store), settings);
}

// A value a hand-edited file spoils falls back to its default; the rows stay as written, for
// the dialog to show and judge.
TEST(PollSettings, ValuesThatDoNotHoldReadAsTheirDefaults) {
    const test::ScratchDir dir;
    const std::string ini = dir.File("brantel.ini");
    const struct {
        const char* section;
        PollSettings read;
    } cases[] = {
        {"Rows=x\nIntervalMs=9\nWaitForAnswer=yes\nStartWhenOpen=2\n", {"x", 1000, true, false}},
        {"IntervalMs=3600001\n", {"", 1000, true, false}},
        {"IntervalMs=-10\n", {"", 1000, true, false}},
        {"IntervalMs=1e3\n", {"", 1000, true, false}},
        {"IntervalMs=10\nWaitForAnswer=0\n", {"", 10, false, false}},
        {"IntervalMs=3600000\nStartWhenOpen=1\n", {"", 3600000, true, true}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.section);
        test::SetFileText(ini, std::string("[Poll]\n") + c.section);
        EXPECT_EQ(ReadPollSettings(ProfileStore(ini)), c.read);
    }
}

TEST(PollPlan, TakesTheRowsInTableOrderAndAnIntervalInRange) {
    std::string why;
    EXPECT_EQ(MakePollPlan({"6,3,5-6", 10, false, false}, &why),
              (PollPlan{{3, 5, 6}, milliseconds(10), false}));
    EXPECT_EQ(MakePollPlan({"29", 3600000, true, true}),
              (PollPlan{{29}, milliseconds(3600000), true}));
    EXPECT_EQ(why, "");
    const struct {
        PollSettings settings;
        const char* why;
    } refused[] = {
        {{"", 1000, true, false}, "Rows: rows from 1 to 29 such as 1,3-5, not ''"},
        {{"3-1", 1000, true, false}, "Rows: rows from 1 to 29 such as 1,3-5, not '3-1'"},
        {{"30", 1000, true, false}, "Rows: rows from 1 to 29 such as 1,3-5, not '30'"},
        {{"1", 9, true, false}, "Interval: from 10 to 3600000 ms, not 9"},
        {{"1", 3600001, true, false}, "Interval: from 10 to 3600000 ms, not 3600001"},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(MakePollPlan(c.settings, &why), std::nullopt);
        EXPECT_EQ(why, c.why);
        EXPECT_EQ(MakePollPlan(c.settings), std::nullopt);
    }
}

TEST(PollPlan, StatusSaysWhatIsPolled) {
    EXPECT_EQ(PollStatusText({{3, 5, 6}, milliseconds(1000), true}),
              "Polling rows 3,5-6 every 1000 ms, each answer awaited");
    EXPECT_EQ(PollStatusText({{4}, milliseconds(10), false}), "Polling row 4 every 10 ms");
}

TEST(PollTurn, GoesThroughTheRowsAndStartsAgain) {
    PollTurn turn({3, 5, 6});
    std::vector<int> sent;
    for (int i = 0; i < 7; ++i) {
        sent.push_back(turn.Current());
        turn.Advance();
    }
    EXPECT_EQ(sent, (std::vector<int>{3, 5, 6, 3, 5, 6, 3}));
    PollTurn one({9});
    one.Advance();
    EXPECT_EQ(one.Current(), 9);
    EXPECT_THROW(PollTurn({}), std::invalid_argument);
}

// Waiting for answers, the next row goes out when the answer is complete, but never sooner
// than the interval after the last send.
TEST(PollTurn, AfterAnAnswerWaitsForWhatIsLeftOfTheInterval) {
    EXPECT_EQ(WaitAfterAnswer(milliseconds(1000), milliseconds(300)), milliseconds(700));
    EXPECT_EQ(WaitAfterAnswer(milliseconds(1000), std::chrono::microseconds(300500)),
              milliseconds(700));
    EXPECT_EQ(WaitAfterAnswer(milliseconds(100), milliseconds(100)), milliseconds(0));
    EXPECT_EQ(WaitAfterAnswer(milliseconds(100), milliseconds(600)), milliseconds(0));
}

}  // namespace
}  // namespace brantel
