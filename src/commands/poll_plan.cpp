#include "commands/poll_plan.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>
#include <string_view>
#include <utility>

#include "commands/row_list.h"
#include "platform/profile_store.h"

namespace brantel {
namespace {

constexpr char kRowsKey[] = "Rows";
constexpr char kIntervalKey[] = "IntervalMs";
constexpr char kWaitKey[] = "WaitForAnswer";
constexpr char kStartWhenOpenKey[] = "StartWhenOpen";

std::optional<int> Interval(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || text.front() == '-' || error != std::errc() ||
        end != text.data() + text.size() || value < kMinPollIntervalMs ||
        value > kMaxPollIntervalMs) {
        return std::nullopt;
    }
    return value;
}

bool Switch(const ProfileStore& store, const char* key, bool fallback) {
    const std::string value = store.ReadString(kPollSection, key, "");
    return value == "1" ? true : value == "0" ? false : fallback;
}

}  // namespace

PollSettings ReadPollSettings(const ProfileStore& store) {
    PollSettings settings;
    settings.rows = store.ReadString(kPollSection, kRowsKey, "");
    settings.intervalMs =
        Interval(store.ReadString(kPollSection, kIntervalKey, "")).value_or(kDefaultPollIntervalMs);
    settings.waitForAnswer = Switch(store, kWaitKey, settings.waitForAnswer);
    settings.startWhenOpen = Switch(store, kStartWhenOpenKey, settings.startWhenOpen);
    return settings;
}

void WritePollSettings(ProfileStore& store, const PollSettings& settings) {
    store.WriteString(kPollSection, kRowsKey, settings.rows);
    store.WriteString(kPollSection, kIntervalKey, std::to_string(settings.intervalMs));
    store.WriteString(kPollSection, kWaitKey, settings.waitForAnswer ? "1" : "0");
    store.WriteString(kPollSection, kStartWhenOpenKey, settings.startWhenOpen ? "1" : "0");
}

std::optional<PollPlan> MakePollPlan(const PollSettings& settings, std::string* why) {
    const auto refuse = [why](std::string reason) -> std::optional<PollPlan> {
        if (why != nullptr) {
            *why = std::move(reason);
        }
        return std::nullopt;
    };
    std::optional<std::vector<int>> rows = ParseRowList(settings.rows);
    if (!rows) {
        return refuse("Rows: " + std::string(kRowListRule) + ", not '" + settings.rows + "'");
    }
    if (settings.intervalMs < kMinPollIntervalMs || settings.intervalMs > kMaxPollIntervalMs) {
        return refuse("Interval: from " + std::to_string(kMinPollIntervalMs) + " to " +
                      std::to_string(kMaxPollIntervalMs) + " ms, not " +
                      std::to_string(settings.intervalMs));
    }
    return PollPlan{std::move(*rows), std::chrono::milliseconds(settings.intervalMs),
                    settings.waitForAnswer};
}

std::string PollStatusText(const PollPlan& plan) {
    const bool one = plan.rows.size() == 1;
    return std::string(one ? "Polling row " : "Polling rows ") + RowListText(plan.rows) +
           " every " + std::to_string(plan.interval.count()) + " ms" +
           (plan.waitForAnswer ? ", each answer awaited" : "");
}

PollTurn::PollTurn(std::vector<int> rows) : rows_(std::move(rows)) {
    if (rows_.empty()) {
        throw std::invalid_argument("a poll needs a row");
    }
}

void PollTurn::Advance() {
    next_ = (next_ + 1) % rows_.size();
}

std::chrono::milliseconds WaitAfterAnswer(std::chrono::milliseconds interval,
                                          std::chrono::steady_clock::duration sinceSend) {
    // Whole milliseconds passed, rounded down, so the next send never comes early.
    const auto passed = std::chrono::floor<std::chrono::milliseconds>(sinceSend);
    return std::max(std::chrono::milliseconds(0), interval - passed);
}

}  // namespace brantel
