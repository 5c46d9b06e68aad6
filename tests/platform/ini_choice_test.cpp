#include "platform/ini_choice.h"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>

#include "support/scratch_dir.h"

namespace brantel::test {
namespace {

namespace fs = std::filesystem;

// Runs `work` in a child process as an ordinary user (nobody, when the test runs as root, for
// whom every folder would be writable) and returns the text it gives back.
std::string AsOrdinaryUser(const std::function<std::string()>& work) {
    int channel[2];
    if (::pipe(channel) != 0) {
        return "no pipe";
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        constexpr uid_t kNobody = 65534;
        const bool ordinary =
            ::geteuid() != 0 ||
            (::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0);
        const std::string result = ordinary ? work() : "cannot leave root";
        (void)!::write(channel[1], result.data(), result.size());
        ::_exit(0);
    }
    ::close(channel[1]);
    std::string result;
    char block[4096];
    for (ssize_t got; (got = ::read(channel[0], block, sizeof block)) > 0;) {
        result.append(block, static_cast<std::size_t>(got));
    }
    ::close(channel[0]);
    ::waitpid(child, nullptr, 0);
    return result;
}

std::string Entries(const fs::path& folder) {
    std::string names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names += entry.path().filename().string() + " ";
    }
    return names;
}

struct ChoiceCase {
    const char* name;
    fs::perms folder;
    // The file beside the executable and its permissions; none when nullopt.
    std::optional<fs::perms> file;
    // What the per-user file holds already; none when nullopt.
    std::optional<std::string> perUser;
    bool chooseBeside;
    // What the chosen file holds; nullopt when it does not exist.
    std::optional<std::string> chosenText;
};

// The file beside the executable serves when a save can replace it there: a temporary file
// and a rename in its folder. Otherwise the per-user file does, starting as a copy of it.
TEST(IniChoice, ChoosesTheFileASaveCanReplaceAndCopiesWhatIsStored) {
    const auto rw = fs::perms::owner_all | fs::perms::group_all | fs::perms::others_all;
    const auto ro = fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                    fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec;
    const auto fileRw = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                        fs::perms::group_write | fs::perms::others_read | fs::perms::others_write;
    const auto fileRo = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
    const std::string stored = "[Main]\nCommand1=Ping;A 01 L CRC\n";
    const ChoiceCase cases[] = {
        {"writable folder and file", rw, fileRw, std::nullopt, true, stored},
        {"writable folder, no file yet", rw, std::nullopt, std::nullopt, true, std::nullopt},
        {"writable file in a read-only folder", ro, fileRw, std::nullopt, false, stored},
        {"read-only file in a read-only folder", ro, fileRo, std::nullopt, false, stored},
        {"read-only file in a writable folder", rw, fileRo, std::nullopt, false, stored},
        {"nothing stored in a read-only folder", ro, std::nullopt, std::nullopt, false,
         std::nullopt},
        {"a per-user file of an earlier run is kept", ro, fileRo, "[Main]\n", false, "[Main]\n"},
    };
    for (const ChoiceCase& c : cases) {
        SCOPED_TRACE(c.name);
        const ScratchDir dir;
        const fs::path root = dir.File("");
        const fs::path folder = root / "bin";
        const fs::path config = root / "config";
        fs::create_directories(folder);
        fs::create_directories(config);
        const std::string beside = (folder / "brantel.ini").string();
        if (c.file) {
            SetFileText(beside, stored);
            fs::permissions(beside, *c.file);
        }
        if (c.perUser) {
            fs::create_directories(config / "brantel");
            SetFileText((config / "brantel/brantel.ini").string(), *c.perUser);
        }
        fs::permissions(root, rw);
        fs::permissions(config, rw, fs::perm_options::replace);
        fs::permissions(folder, c.folder);
        const std::string before = Entries(folder);

        const std::string chosen =
            AsOrdinaryUser([&] { return ChooseIniPath(beside, (config / "brantel").string()); });

        const std::string expected =
            c.chooseBeside ? beside : (config / "brantel/brantel.ini").string();
        EXPECT_EQ(chosen, expected);
        EXPECT_EQ(fs::exists(expected), c.chosenText.has_value());
        if (c.chosenText) {
            EXPECT_EQ(FileText(expected), *c.chosenText);
        }
        EXPECT_EQ(Entries(folder), before);
        fs::permissions(folder, rw);
    }
}

}  // namespace
}  // namespace brantel::test
