#include "platform/profile_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>

#include "support/scratch_dir.h"

namespace brantel {
namespace {

using test::FileText;
using test::ScratchDir;
using test::SetFileText;

std::size_t EntriesIn(const std::filesystem::path& directory) {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(directory)) {
        ++count;
    }
    return count;
}

TEST(ProfileStore, MissingFileGivesFallbackAndFirstWriteCreatesIt) {
    ScratchDir dir;
    ProfileStore store(dir.File("brantel.ini"));
    EXPECT_EQ(store.ReadString("Main", "Command1", "none"), "none");

    store.WriteString("TForm1", "FormVersion", "0");
    store.WriteString("Main", "Command1", "Ping;A 01 L CRC;06;5");
    store.WriteString("TForm1", "Flags", "0");
    store.WriteString("tform1", "formversion", "1");

    EXPECT_EQ(FileText(store.Path()),
              "[TForm1]\nFormVersion=1\nFlags=0\n\n[Main]\nCommand1=Ping;A 01 L CRC;06;5\n");
    EXPECT_EQ(store.ReadString("main", "COMMAND1", ""), "Ping;A 01 L CRC;06;5");
    EXPECT_EQ(store.ReadString("TForm1", "Missing", "dflt"), "dflt");
    EXPECT_EQ(EntriesIn(std::filesystem::path(store.Path()).parent_path()), 1u);
}

TEST(ProfileStore, HandEditedFileKeepsEverythingElse) {
    ScratchDir dir;
    ProfileStore store(dir.File("tool.ini"));
    const std::string original =
        "; written by "
        "hand\r\n[Ports]\r\nCOM1=/dev/ttyUSB0\r\n\r\n[Main]\r\nCommand1=a\r\nX=keep\r\n";
    SetFileText(store.Path(), original);

    store.WriteString("Main", "Command1", "b");
    store.WriteString("Main", "Command2", "c");

    EXPECT_EQ(FileText(store.Path()),
              "; written by hand\r\n[Ports]\r\nCOM1=/dev/ttyUSB0\r\n\r\n[Main]\r\nCommand1=b\r\nX="
              "keep\r\nCommand2=c\n");
}

TEST(ProfileStore, FailedWriteRaisesAndLeavesTheOldFileWhole) {
    ScratchDir dir;
    // A name so long that no temporary file can be made beside it.
    const std::string path = dir.File(std::string(250, 'n') + ".ini");
    SetFileText(path, "[Main]\nCommand1=old\n");
    ProfileStore store(path);

    try {
        store.WriteString("Main", "Command1", "new");
        FAIL() << "the write did not fail";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(std::string(error.what()), "Unable to write to " + path);
    }
    EXPECT_EQ(FileText(path), "[Main]\nCommand1=old\n");
    EXPECT_EQ(EntriesIn(std::filesystem::path(path).parent_path()), 1u);
}

TEST(ProfileStore, UnwritablePlacesRaiseTheWriteError) {
    ScratchDir dir;
    std::filesystem::create_directory(dir.File("folder.ini"));
    const std::string paths[] = {dir.File("missing/brantel.ini"), dir.File("folder.ini")};
    for (const std::string& path : paths) {
        ProfileStore store(path);
        EXPECT_EQ(store.ReadString("Main", "k", "fallback"), "fallback") << path;
        EXPECT_THROW(
            {
                try {
                    store.WriteString("Main", "k", "v");
                } catch (const std::runtime_error& error) {
                    EXPECT_EQ(std::string(error.what()), "Unable to write to " + path);
                    throw;
                }
            },
            std::runtime_error)
            << path;
    }
}

TEST(ProfileStore, RewriteKeepsPermissionsAndFollowsLinks) {
    ScratchDir dir;
    const std::string target = dir.File("real.ini");
    const std::string link = dir.File("link.ini");
    SetFileText(target, "[Main]\nk=1\n");
    ::chmod(target.c_str(), 0640);
    std::filesystem::create_symlink(target, link);

    ProfileStore(link).WriteString("Main", "k", "2");

    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(FileText(target), "[Main]\nk=2\n");
    struct stat status {};
    ASSERT_EQ(::stat(target.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
}

TEST(ProfileStore, BinaryGarbageNeverCrashesAndIsKept) {
    ScratchDir dir;
    std::mt19937 random(7);
    std::string garbage(65536, '\0');
    for (char& c : garbage) {
        c = static_cast<char>(random());
    }
    garbage += "\n[Main\n";
    SetFileText(dir.File("junk.ini"), garbage);
    ProfileStore store(dir.File("junk.ini"));

    (void)store.ReadString("Main", "Command1", "");
    store.WriteString("Main", "Command1", " ; ");

    EXPECT_EQ(store.ReadString("Main", "Command1", "fallback"), " ; ");
    EXPECT_EQ(FileText(store.Path()).substr(0, garbage.size()), garbage);
}

}  // namespace
}  // namespace brantel
