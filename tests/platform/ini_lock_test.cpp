#include "platform/ini_lock.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "support/ended_pid.h"
#include "support/scratch_dir.h"

namespace brantel::test {
namespace {

const LockOwner kSelf{100, "bench"};

TEST(LockOwner, TextNamesTheOwnerOrNothing) {
    const struct {
        std::string text;
        std::optional<LockOwner> owner;
    } cases[] = {
        {LockOwnerText(kSelf), kSelf},
        {"4242 rack-pc\r\n", LockOwner{4242, "rack-pc"}},
        {"", std::nullopt},
        {"4242", std::nullopt},
        {"4242 ", std::nullopt},
        {"42x rack-pc", std::nullopt},
        {"0 rack-pc", std::nullopt},
        {"-5 rack-pc", std::nullopt},
        {"4242 rack pc", std::nullopt},
        {"99999999999999999999 rack-pc", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseLockOwner(c.text), c.owner) << c.text;
    }
}

TEST(LockOwner, LiveOnlyWhileItsProcessRunsOrCannotBeSeen) {
    const auto aliveIs = [](bool alive) { return [alive](long) { return alive; }; };
    const struct {
        std::optional<LockOwner> owner;
        bool alive;
        LockState state;
    } cases[] = {
        {LockOwner{7, "bench"}, true, LockState::kLive},
        {LockOwner{7, "bench"}, false, LockState::kStale},
        {LockOwner{7, "rack-pc"}, false, LockState::kLive},
        {kSelf, true, LockState::kStale},
        {std::nullopt, true, LockState::kStale},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(JudgeLock(c.owner, kSelf, aliveIs(c.alive)), c.state)
            << (c.owner ? LockOwnerText(*c.owner) : "no owner") << " alive " << c.alive;
    }
}

TEST(IniLock, TakesAFreeOrStaleLockAndReportsALiveOne) {
    const std::string host = ThisProcess().host;
    const LockOwner live{static_cast<long>(::getppid()), host};
    const LockOwner elsewhere{static_cast<long>(::getppid()), host + "-other"};
    const struct {
        const char* what;
        std::optional<std::string> before;
        std::optional<LockOwner> reported;
    } cases[] = {
        {"no lock", std::nullopt, std::nullopt},
        {"an ended process's", LockOwnerText({EndedPid(), host}), std::nullopt},
        {"an empty file", "", std::nullopt},
        {"a live process's", LockOwnerText(live), live},
        {"another host's", LockOwnerText(elsewhere), elsewhere},
    };
    for (const auto& c : cases) {
        ScratchDir dir;
        const std::string ini = dir.File("brantel.ini");
        if (c.before) {
            SetFileText(ini + ".lock", *c.before);
        }
        IniLock lock(ini);
        EXPECT_EQ(lock.Path(), ini + ".lock");
        EXPECT_EQ(lock.Acquire(), c.reported) << c.what;
        EXPECT_EQ(lock.Held(), !c.reported) << c.what;
        const std::string held = FileText(lock.Path());
        EXPECT_EQ(held, c.reported ? *c.before : LockOwnerText(ThisProcess())) << c.what;
        lock.Release();
        EXPECT_EQ(std::filesystem::exists(lock.Path()), c.reported.has_value()) << c.what;
    }
}

TEST(IniLock, ReleaseLeavesALockTakenOverMeanwhile) {
    ScratchDir dir;
    const std::string ini = dir.File("brantel.ini");
    {
        IniLock first(ini);
        ASSERT_EQ(first.Acquire(), std::nullopt);
        SetFileText(first.Path(), "1 rack-pc\n");
    }
    EXPECT_EQ(FileText(ini + ".lock"), "1 rack-pc\n");

    IniLock second(ini);
    second.TakeOver();
    EXPECT_EQ(FileText(second.Path()), LockOwnerText(ThisProcess()));
    second.Release();
    EXPECT_FALSE(std::filesystem::exists(second.Path()));
}

TEST(IniLock, AFolderThatTakesNoLockWarnsNobody) {
    ScratchDir dir;
    IniLock lock(dir.File("missing/brantel.ini"));
    EXPECT_EQ(lock.Acquire(), std::nullopt);
    EXPECT_FALSE(lock.Held());
    EXPECT_THROW(lock.TakeOver(), std::runtime_error);
}

}  // namespace
}  // namespace brantel::test
