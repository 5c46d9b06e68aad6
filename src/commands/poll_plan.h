#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace brantel {

class ProfileStore;

inline constexpr int kMinPollIntervalMs = 10;
inline constexpr int kMaxPollIntervalMs = 3'600'000;
inline constexpr int kDefaultPollIntervalMs = 1000;
inline constexpr char kPollSection[] = "Poll";

// The poll's settings as the Poll dialog edits them and section [Poll] of the INI file keeps
// them: Rows, IntervalMs, WaitForAnswer, StartWhenOpen.
struct PollSettings {
    std::string rows;  // as typed: "3,5-6"
    int intervalMs = kDefaultPollIntervalMs;
    bool waitForAnswer = true;
    bool startWhenOpen = false;
    bool operator==(const PollSettings&) const = default;
};

// Section [Poll]; a value that is missing or does not hold (an interval that is no whole number
// from kMinPollIntervalMs to kMaxPollIntervalMs, a switch other than 0 or 1) reads as its
// default. The rows are kept as written; MakePollPlan judges them.
PollSettings ReadPollSettings(const ProfileStore& store);
// Writes all four keys. Throws std::runtime_error when the file cannot be written.
void WritePollSettings(ProfileStore& store, const PollSettings& settings);

// A poll that can run: the rows in turn (ascending, each once), how long from one send to the
// next at least, and whether each answer is awaited before the next row goes out.
struct PollPlan {
    std::vector<int> rows;
    std::chrono::milliseconds interval{kDefaultPollIntervalMs};
    bool waitForAnswer = true;
    bool operator==(const PollPlan&) const = default;
};

// The plan of the settings; nullopt when they make none, with the reason in `why`
// ("Rows: rows from 1 to 29 such as 1,3-5, not 'x'").
std::optional<PollPlan> MakePollPlan(const PollSettings& settings, std::string* why = nullptr);

// What the status bar says while the plan runs: "Polling rows 3,5-6 every 1000 ms, each
// answer awaited".
std::string PollStatusText(const PollPlan& plan);

// The rows of a poll taken in turn, the first again after the last.
class PollTurn {
  public:
    // `rows` is not empty.
    explicit PollTurn(std::vector<int> rows);
    // The row whose turn it is.
    int Current() const { return rows_[next_]; }
    // The next row's turn.
    void Advance();

  private:
    std::vector<int> rows_;
    std::size_t next_ = 0;
};

// Waiting for answers, how long after an answer is complete the next row goes out: what is
// left of the interval since the send, or nothing when it has passed.
std::chrono::milliseconds WaitAfterAnswer(std::chrono::milliseconds interval,
                                          std::chrono::steady_clock::duration sinceSend);

}  // namespace brantel
