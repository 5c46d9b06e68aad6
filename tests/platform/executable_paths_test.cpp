#include "platform/executable_paths.h"

#include <gtest/gtest.h>

#include "platform/port_names.h"
#include "platform/profile_store.h"
#include "support/scratch_dir.h"

namespace brantel {
namespace {

struct PathCase {
    const char* executable;
    const char* iniPath;
    const char* title;
};

class ExecutablePathsTest : public testing::TestWithParam<PathCase> {};

TEST_P(ExecutablePathsTest, DerivesIniPathAndTitle) {
    const PathCase& c = GetParam();
    EXPECT_EQ(IniPathFor(c.executable), c.iniPath);
    EXPECT_EQ(ApplicationTitleFor(c.executable), c.title);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExecutablePathsTest,
    testing::Values(PathCase{"C:\\Tools\\tester.exe", "C:\\Tools\\tester.ini", "Tester"},
                    PathCase{"C:\\Tools\\MY.TOOL.EXE", "C:\\Tools\\MY.TOOL.ini", "My"},
                    PathCase{"/usr/bin/brantel", "/usr/bin/brantel.ini", "Brantel"},
                    PathCase{"/opt/v1.2/BrAnTeL", "/opt/v1.2/BrAnTeL.ini", "Brantel"},
                    PathCase{"C:\\v1.2\\Tool", "C:\\v1.2\\Tool.ini", "Tool"},
                    PathCase{"c:tool.exe", "c:tool.ini", "C:tool"}, PathCase{"C:", "C:.ini", "C:"},
                    PathCase{"/home/u/.hidden", "/home/u/.ini", ""},
                    PathCase{"/usr/bin/", "/usr/bin/.ini", ""}, PathCase{"", ".ini", ""},
                    PathCase{"/usr/bin/\xc3\x9c"
                             "BER.X",
                             "/usr/bin/\xc3\x9c"
                             "BER.ini",
                             "\xc3\x9c"
                             "ber"}));

TEST(PortDevicePath, MapsPortsOneToFourThroughThePortsSection) {
    test::ScratchDir dir;
    ProfileStore store(dir.File("brantel.ini"));
    store.WriteString("Ports", "com2", "/dev/pts/7");

    EXPECT_EQ(PortDevicePath(store, 1), "/dev/ttyS0");
    EXPECT_EQ(PortDevicePath(store, 2), "/dev/pts/7");
    EXPECT_EQ(PortDevicePath(store, 4), "/dev/ttyS3");
    for (const int number : {0, 5, -1, 12}) {
        EXPECT_EQ(PortDevicePath(store, number), std::nullopt) << number;
    }
}

}  // namespace
}  // namespace brantel
