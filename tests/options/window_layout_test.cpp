#include "options/window_layout.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/profile_store.h"
#include "support/scratch_dir.h"

namespace brantel {
namespace {

const WindowLayout kDesigned{245, {110, 200, 200, 50}};

TEST(WindowLayout, SurvivesAWriteAndARead) {
    test::ScratchDir dir;
    ProfileStore store(dir.File("brantel.ini"));
    const WindowLayout layout{310, {180, 20, 4000, 64}};
    WriteWindowLayout(layout, store);
    EXPECT_EQ(ReadWindowLayout(store, kDesigned), layout);
    EXPECT_EQ(test::FileText(store.Path()), "[Layout]\nSplitter=310\nColumns=180,20,4000,64\n");
}

// A stored value that cannot be a size is ignored; a width is held to one that can be dragged.
TEST(WindowLayout, BadValuesFallBackOrAreHeldInRange) {
    const struct {
        std::string section;
        WindowLayout layout;
    } cases[] = {
        {"", kDesigned},
        {"Splitter=0\n", {0, kDesigned.columns}},
        {"Splitter=-3\n", kDesigned},
        {"Splitter=tall\n", kDesigned},
        {"Splitter=10001\n", kDesigned},
        {"Columns=150\n", {245, {150, 200, 200, 50}}},
        {"Columns=0,-40,99999,7\n", {245, {20, 20, 4000, 20}}},
        {"Columns=,wide, 90 ,60,70,80\n", {245, {110, 200, 90, 60}}},
        {"Splitter=400\nColumns=\n", {400, kDesigned.columns}},
    };
    for (const auto& c : cases) {
        test::ScratchDir dir;
        test::SetFileText(dir.File("brantel.ini"), "[Layout]\n" + c.section);
        EXPECT_EQ(ReadWindowLayout(ProfileStore(dir.File("brantel.ini")), kDesigned), c.layout)
            << c.section;
    }
}

}  // namespace
}  // namespace brantel
