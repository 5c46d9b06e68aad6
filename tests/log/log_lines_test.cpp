#include <gtest/gtest.h>

#include "log/gap_framer.h"
#include "log/line_search.h"
#include "log/line_store.h"

namespace brantel {
namespace {

StoredLine Text(const std::string& text) {
    return {text, 0, kPortStatusGreen, LineForm::kText};
}
StoredLine Hex(const std::string& bytes) {
    return {bytes, 0, kReceivedBlue, LineForm::kHex};
}

// The oldest lines go, one by one, once either limit is passed; a line keeps its number.
TEST(LineStore, KeepsTheNewestLinesWithinBothLimits) {
    const struct {
        const char* name;
        std::size_t maxLines;
        std::size_t maxBytes;
        std::vector<std::string> appended;
        std::vector<std::string> held;
    } cases[] = {
        {"within both", 3, 100, {"a", "bb", "ccc"}, {"a", "bb", "ccc"}},
        {"line limit", 2, 100, {"a", "bb", "ccc"}, {"bb", "ccc"}},
        {"byte limit", 10, 5, {"a", "bb", "ccc"}, {"bb", "ccc"}},
        {"a line alone over the bytes stays", 10, 2, {"a", "bbbb"}, {"bbbb"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LineStore store(c.maxLines, c.maxBytes);
        for (const std::string& text : c.appended) {
            store.Append(Text(text));
        }
        ASSERT_EQ(store.Size(), c.held.size());
        std::size_t bytes = 0;
        for (std::size_t i = 0; i < c.held.size(); ++i) {
            EXPECT_EQ(store.At(i).bytes, c.held[i]);
            bytes += c.held[i].size();
        }
        EXPECT_EQ(store.ContentBytes(), bytes);
        EXPECT_EQ(store.FirstNumber(), c.appended.size() - c.held.size());
    }
    LineStore store;
    store.Append(Hex(std::string("\x00\x0A\xFF", 3)));
    EXPECT_EQ(ShownText(store.At(0)), "00 0A FF ");
    store.Clear();
    EXPECT_TRUE(store.Empty());
    EXPECT_EQ(store.FirstNumber(), 1u);
}

// Text is found ignoring ASCII case in what lines show; hex bytes only in hex lines' bytes.
TEST(LineSearch, FindsTextAndBytesWhereTheLinesShowThem) {
    const struct {
        const char* name;
        std::optional<LineQuery> query;
        StoredLine line;
        std::vector<TextSpan> spans;
    } cases[] = {
        {"text in a text line", LineQuery::Text("com2"), Text("Port COM2: is Opened"), {{5, 4}}},
        {"twice", LineQuery::Text("o"), Text("Oo"), {{0, 1}, {1, 1}}},
        {"aligned pairs in a hex line", LineQuery::Text("0a ff"), Hex("\x01\x0A\xFF"), {{3, 5}}},
        {"with the blank after", LineQuery::Text("0A "), Hex("\x0A\x0A"), {{0, 3}, {3, 3}}},
        {"across pairs", LineQuery::Text("A F"), Hex("\x0A\xFF"), {{1, 3}}},
        {"letters a hex line never shows", LineQuery::Text("is"), Hex("is"), {}},
        {"hex bytes", LineQuery::Hex("a,ff"), Hex("\x0A\xFF\x0A\xFF"), {{0, 5}, {6, 5}}},
        {"hex bytes not in text lines", LineQuery::Hex("41"), Text("A"), {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.query.has_value());
        EXPECT_EQ(c.query->MatchesIn(c.line), c.spans);
    }
    EXPECT_FALSE(LineQuery::Text("").has_value());
    EXPECT_FALSE(LineQuery::Hex("0x1").has_value());
    EXPECT_FALSE(LineQuery::Hex("123").has_value());
}

// Next and previous go on from the last match and wrap around the ends.
TEST(LineSearch, NextAndPreviousWrapAround) {
    LineStore store;
    for (const char* text : {"ping", "x", "ping ping", "y"}) {
        store.Append(Text(text));
    }
    const LineQuery query = *LineQuery::Text("ping");
    std::optional<LineMatch> at;
    std::vector<LineMatch> forward;
    for (int i = 0; i < 4; ++i) {
        at = FindMatch(store, query, at, true);
        ASSERT_TRUE(at.has_value());
        forward.push_back(*at);
    }
    EXPECT_EQ(forward,
              (std::vector<LineMatch>{{0, {0, 4}}, {2, {0, 4}}, {2, {5, 4}}, {0, {0, 4}}}));
    EXPECT_EQ(FindMatch(store, query, at, false), (LineMatch{2, {5, 4}}));
    EXPECT_EQ(FindMatch(store, query, std::nullopt, false), (LineMatch{2, {5, 4}}));
    EXPECT_FALSE(FindMatch(store, *LineQuery::Text("none"), std::nullopt, true).has_value());
}

// Hex bytes are found across the ends of consecutive hex lines of one direction, and each line
// shows its part of the match; a line of another direction or kind between them breaks the run.
TEST(LineSearch, FindsBytesAcrossLinesOfOneDirection) {
    const auto sent = [](const std::string& bytes) {
        return StoredLine{bytes, 0, kSentRed, LineForm::kHex};
    };
    const struct {
        const char* name;
        std::vector<StoredLine> lines;
        std::optional<LineMatch> found;
        std::vector<std::vector<TextSpan>> parts;
    } cases[] = {
        {"in one line", {Hex("\x01\x03\x02")}, LineMatch{0, {0, 8}, std::nullopt}, {{{0, 8}}}},
        {"over two lines",
         {Hex("\x11\x01"), Hex("\x03\x02\x22")},
         LineMatch{0, {3, 2}, LineEnd{1, {0, 5}}},
         {{{3, 2}}, {{0, 5}}}},
        {"over three lines",
         {Hex("\x01"), Hex("\x03"), Hex("\x02")},
         LineMatch{0, {0, 2}, LineEnd{2, {0, 2}}},
         {{{0, 2}}, {{0, 2}}, {{0, 2}}}},
        {"sent after sent",
         {sent("\x01\x03"), sent("\x02")},
         LineMatch{0, {0, 5}, LineEnd{1, {0, 2}}},
         {{{0, 5}}, {{0, 2}}}},
        {"sent after received", {Hex("\x01\x03"), sent("\x02")}, std::nullopt, {{}, {}}},
        {"a text line between",
         {Hex("\x01"), Text("01 03 02"), Hex("\x03\x02")},
         std::nullopt,
         {{}, {}, {}}},
        {"the run's end", {Hex("\x01\x03")}, std::nullopt, {{}}},
    };
    const LineQuery query = *LineQuery::Hex("01 03 02");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LineStore store;
        for (const StoredLine& line : c.lines) {
            store.Append(line);
        }
        EXPECT_EQ(FindMatch(store, query, std::nullopt, true), c.found);
        for (std::size_t i = 0; i < c.lines.size(); ++i) {
            EXPECT_EQ(query.PartsIn(store, i), c.parts[i]) << i;
        }
    }
}

// Received chunks join into one frame until the line has been idle for the gap; a frame keeps
// the time of its first chunk, and one that never pauses is cut at its greatest size.
TEST(GapFramer, SplitsReceivedChunksWhereTheLineWasIdleForTheGap) {
    struct Arrival {
        std::int64_t timeMs;
        std::string bytes;
    };
    const std::string full(GapFramer::kMaxFrameBytes, 'x');
    const struct {
        const char* name;
        int gapMs;
        std::vector<Arrival> arrivals;
        std::vector<ReceivedFrame> frames;
    } cases[] = {
        {"one chunk", 5, {{100, "AB"}}, {{"AB", 100}}},
        {"chunks under the gap join",
         5,
         {{100, "AB"}, {102, "CD"}, {106, "EF"}},
         {{"ABCDEF", 100}}},
        {"the gap is measured from the last chunk",
         5,
         {{100, "A"}, {104, "B"}, {108, "C"}, {113, "D"}},
         {{"ABC", 100}, {"D", 113}}},
        {"a gap of exactly the setting splits",
         5,
         {{100, "A"}, {105, "B"}},
         {{"A", 100}, {"B", 105}}},
        {"frames 30 ms apart",
         5,
         {{0, "01"}, {30, "02"}, {60, "03"}},
         {{"01", 0}, {"02", 30}, {"03", 60}}},
        {"a longer gap joins them", 50, {{0, "01"}, {30, "02"}}, {{"0102", 0}}},
        {"empty chunks add nothing", 5, {{0, ""}, {1, "A"}}, {{"A", 1}}},
        {"a frame that never pauses", 5, {{0, full}, {1, "y"}}, {{full, 0}, {"y", 1}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GapFramer framer(c.gapMs);
        std::vector<ReceivedFrame> frames;
        for (const Arrival& arrival : c.arrivals) {
            for (ReceivedFrame& frame : framer.Arrive(arrival.timeMs, arrival.bytes)) {
                frames.push_back(std::move(frame));
            }
        }
        if (std::optional<ReceivedFrame> last = framer.Close()) {
            frames.push_back(std::move(*last));
        }
        EXPECT_FALSE(framer.Gathering());
        ASSERT_EQ(frames.size(), c.frames.size());
        for (std::size_t i = 0; i < frames.size(); ++i) {
            EXPECT_EQ(frames[i].bytes.size(), c.frames[i].bytes.size()) << i;
            EXPECT_TRUE(frames[i] == c.frames[i]) << i;
        }
    }
}

}  // namespace
}  // namespace brantel
