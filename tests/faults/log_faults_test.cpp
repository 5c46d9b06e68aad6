#include <gtest/gtest.h>

#include <filesystem>

#include "app/tform1.h"
#include "faults/fault_helpers.h"
#include "log/traffic_log.h"

namespace brantel::test {
namespace {

// A save that runs out of room midway says why, leaves the file that was there as it was and
// nothing beside it, and the log keeps every line; the window reports it in its error box.
TEST(LogFaultsTest, FailedSaveLosesNothing) {
    WindowFixture fixture;
    fixture.WriteIni("");
    TForm1& form = fixture.Start();
    TrafficLog* log = Named<TrafficLog>(form, "SerialMemo");
    for (int i = 0; i < 10000; ++i) {
        log->LogHex(std::string(255, static_cast<char>(i)), kReceivedBlue);
    }
    const int lines = log->LineCount();
    const ScratchDir dir;
    const std::string path = dir.File("traffic.txt");
    SetFileText(path, "the log saved yesterday\n");

    std::optional<QString> failure;
    {
        const LoweredLimit lowered(RLIMIT_FSIZE, 64 * 1024);
        failure = log->SaveTo(QString::fromStdString(path), false);
    }
    ASSERT_TRUE(failure.has_value());
    EXPECT_TRUE(failure->startsWith("Unable to write to " + QString::fromStdString(path) + ": "))
        << failure->toStdString();
    EXPECT_EQ(FileText(path), "the log saved yesterday\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.File("")),
                            std::filesystem::directory_iterator()),
              1);
    EXPECT_EQ(log->LineCount(), lines);

    emit log->Failed(*failure);
    EXPECT_EQ(fixture.NewErrors(), QStringList{WindowFixture::Title() + "|" + *failure +
                                               (failure->endsWith('.') ? "" : ".")});
}

}  // namespace
}  // namespace brantel::test
