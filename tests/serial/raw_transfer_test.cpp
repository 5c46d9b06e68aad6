#include "serial/raw_transfer.h"

#include <sys/ioctl.h>

#include <gmock/gmock.h>
#include <thread>

#include "serial/port_connection.h"
#include "support/pty_device.h"
#include "support/serial_fixture.h"
#include "text/hex_line.h"

namespace brantel::test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

using std::string_literals::operator""s;

std::string Pattern(std::size_t size) {
    std::string bytes;
    for (std::size_t i = 0; i < size; ++i) {
        bytes.push_back(static_cast<char>(i * 7 % 256));
    }
    return bytes;
}

// Port 2 is a pseudo-terminal whose master side the test holds as the device.
class RawTransferTest : public ::testing::Test {
  protected:
    RawTransferTest()
        : connection_(log_.Sink(),
                      [this](int number) -> std::optional<std::string> {
                          if (number != 2) {
                              return std::nullopt;
                          }
                          return device_.SlavePath();
                      }),
          transfer_(connection_, log_.HexSink(),
                    [this](const std::string& text) { shown_.push_back(text); }) {}

    // Opens port 2 and forgets the open line, so the log holds only the transfers.
    void OpenDevicePort() {
        ASSERT_TRUE(connection_.OpenPort(2, {}));
        log_.lines.clear();
    }

    // Bytes the device sent that the program has not read yet, wherever they wait.
    int Waiting() const {
        return InDriver() + static_cast<int>(HeldLine(connection_).bytesAvailable());
    }
    int InDriver() const {
        int count = 0;
        ioctl(static_cast<int>(HeldLine(connection_).handle()), FIONREAD, &count);
        return count;
    }

    PtyDevice device_;
    LogRecorder log_;
    std::vector<std::string> shown_;
    PortConnection connection_;
    RawTransfer transfer_;
};

struct WriteCase {
    const char* name;
    std::string data;
};

TEST_F(RawTransferTest, WritesEveryByteWholeAndLogsItInOneRedLine) {
    const WriteCase cases[] = {
        {"text", "AB"},
        {"zero and high bytes", "\x00\xFF\x7F\x80"s},
        {"one full buffer", Pattern(255)},
        {"one byte beyond the buffer", Pattern(256)},
        {"several buffers", Pattern(300)},
        {"many buffers", Pattern(1000)},
    };
    OpenDevicePort();
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(c.name);
        log_.lines.clear();
        EXPECT_EQ(transfer_.WriteBytes(c.data), static_cast<int>(c.data.size()));
        EXPECT_EQ(device_.Read(c.data.size()), c.data);
        EXPECT_THAT(log_.lines, ElementsAre(LoggedLine{HexLine(c.data), kSentRed}));
    }
    EXPECT_THAT(device_.ReadFor(std::chrono::milliseconds(50)), IsEmpty());
}

TEST_F(RawTransferTest, WriteOfTextLogsItsHexBytes) {
    OpenDevicePort();
    transfer_.WriteBytes("AB");
    EXPECT_THAT(log_.lines, ElementsAre(LoggedLine{"41 42 ", kSentRed}));
}

TEST_F(RawTransferTest, EmptyWriteSendsAndLogsNothing) {
    OpenDevicePort();
    EXPECT_EQ(transfer_.WriteBytes(""), 0);
    EXPECT_THAT(log_.lines, IsEmpty());
    EXPECT_THAT(device_.ReadFor(std::chrono::milliseconds(50)), IsEmpty());
}

TEST_F(RawTransferTest, WriteWithoutAPortCountsNothingButStillLogs) {
    EXPECT_EQ(transfer_.WriteBytes("AB"), 0);
    EXPECT_THAT(log_.lines, ElementsAre(LoggedLine{"41 42 ", kSentRed}));
    EXPECT_THAT(device_.ReadFor(std::chrono::milliseconds(50)), IsEmpty());
}

struct ReadCase {
    const char* name;
    std::string sent;
    std::string shown;
};

TEST_F(RawTransferTest, ReadShowsTextUpToTheFirstZeroAndLogsAllInBlue) {
    const ReadCase cases[] = {
        {"text", "hello", "hello"},
        {"zero inside",
         "ab\x00"
         "cd"s,
         "ab"},
        {"zero first", "\x00\x41"s, ""},
        {"high bytes", "\xC3\xA9", "\xC3\xA9"},
    };
    OpenDevicePort();
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        log_.lines.clear();
        shown_.clear();
        device_.Write(c.sent);
        ASSERT_TRUE(WaitUntil([&] { return Waiting() == static_cast<int>(c.sent.size()); }));

        EXPECT_EQ(transfer_.ReadBytes(), c.sent);
        EXPECT_EQ(transfer_.LastReceived(), c.sent);
        EXPECT_THAT(shown_, ElementsAre(c.shown));
        EXPECT_THAT(log_.lines, ElementsAre(LoggedLine{HexLine(c.sent), kReceivedBlue}));
    }
}

TEST_F(RawTransferTest, ReadTakesBytesTheEventLoopHasNotFetched) {
    OpenDevicePort();
    device_.Write("xyz");
    // No event loop runs between the device's write and the read.
    const QDeadlineTimer deadline(2000);
    while (InDriver() < 3 && !deadline.hasExpired()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_EQ(HeldLine(connection_).bytesAvailable(), 0);

    EXPECT_EQ(transfer_.ReadBytes(), "xyz");
}

TEST_F(RawTransferTest, ReadWithNothingWaitingEmptiesTheResultAndLogsNothing) {
    for (const bool held : {true, false}) {
        SCOPED_TRACE(held ? "port held" : "no port");
        if (held) {
            OpenDevicePort();
        }
        EXPECT_THAT(transfer_.ReadBytes(), IsEmpty());
        EXPECT_THAT(transfer_.LastReceived(), IsEmpty());
        EXPECT_THAT(shown_, IsEmpty());
        EXPECT_THAT(log_.lines, IsEmpty());
    }
}

TEST_F(RawTransferTest, MoreThanABufferDrainsOverSeveralReadsInOrder) {
    OpenDevicePort();
    const std::string sent = Pattern(600);
    device_.Write(sent);
    ASSERT_TRUE(WaitUntil([&] { return Waiting() == 600; }));

    std::vector<int> counts;
    std::string all;
    for (std::string received; !(received = transfer_.ReadBytes()).empty();) {
        counts.push_back(static_cast<int>(received.size()));
        all += received;
    }
    EXPECT_THAT(counts, ElementsAre(255, 255, 90));
    EXPECT_EQ(all, sent);
    EXPECT_THAT(log_.lines, ElementsAre(LoggedLine{HexLine(sent.substr(0, 255)), kReceivedBlue},
                                        LoggedLine{HexLine(sent.substr(255, 255)), kReceivedBlue},
                                        LoggedLine{HexLine(sent.substr(510)), kReceivedBlue}));
}

TEST_F(RawTransferTest, TransfersAfterTheDeviceVanishedCountNothing) {
    OpenDevicePort();
    device_.Close();
    ASSERT_TRUE(WaitUntil([&] { return connection_.PortHandle() == nullptr; }));
    log_.lines.clear();

    EXPECT_THAT(transfer_.ReadBytes(), IsEmpty());
    EXPECT_EQ(transfer_.WriteBytes("A"), 0);
    EXPECT_THAT(log_.lines, ElementsAre(LoggedLine{"41 ", kSentRed}));
}

}  // namespace
}  // namespace brantel::test
