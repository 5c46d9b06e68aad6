#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "demo_device.h"
#include "sim_options.h"
#include "support/hex_bytes.h"
#include "support/pty_device.h"

namespace brantel::sim {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

using test::Bytes;

struct AnswerCase {
    const char* name;
    std::string request;
    std::optional<std::string> answer;
};

TEST(DemoDevice, AnswersFramesForItsAddressAndRefusesBrokenOnes) {
    const AnswerCase cases[] = {
        {"echo", Bytes("50 01 06 AA BB BC"), Bytes("50 01 06 AA BB BC")},
        {"echo without data", Bytes("50 01 04 55"), Bytes("50 01 04 55")},
        {"status", Bytes("50 02 04 56"), Bytes("50 02 07 00 01 01 5B")},
        {"read register", Bytes("50 03 05 10 68"), Bytes("50 03 06 10 EF 58")},
        {"unknown command", Bytes("50 09 04 5D"), Bytes("50 89 05 03 E1")},
        {"bad checksum", Bytes("50 02 04 57"), Bytes("50 82 05 02 D9")},
        {"length byte not the frame's length", Bytes("50 02 05 57"), Bytes("50 82 05 01 D8")},
        {"too short for a frame", Bytes("50 02"), Bytes("50 82 05 01 D8")},
        {"address alone", Bytes("50"), Bytes("50 80 05 01 D6")},
        {"status with data", Bytes("50 02 05 00 57"), Bytes("50 82 05 04 DB")},
        {"read register without its number", Bytes("50 03 04 57"), Bytes("50 83 05 04 DC")},
        {"another address", Bytes("51 02 04 57"), std::nullopt},
        {"another address with a bad frame", Bytes("51 02"), std::nullopt},
        {"nothing", "", std::nullopt},
    };
    for (const AnswerCase& c : cases) {
        SCOPED_TRACE(c.name);
        DemoDevice device(0x50);
        EXPECT_EQ(device.Answer(c.request), c.answer);
    }
}

TEST(DemoDevice, RegisterKeepsTheWrittenValue) {
    DemoDevice device(0x50);
    EXPECT_EQ(device.Answer(Bytes("50 04 06 10 42 AC")), Bytes("50 04 06 10 42 AC"));
    EXPECT_EQ(device.Answer(Bytes("50 03 05 10 68")), Bytes("50 03 06 10 42 AB"));
    EXPECT_EQ(device.Answer(Bytes("50 03 05 11 69")), Bytes("50 03 06 11 EE 58"));
}

// A quarter period apart the wave reads its middle, top, middle and bottom.
TEST(DemoDevice, TheWaveRegisterFollowsTheClock) {
    std::chrono::seconds now{0};
    DemoDevice device(0x50, [&now] { return now; });
    std::vector<int> read;
    for (const int t : {0, 15, 30, 45}) {
        now = std::chrono::seconds(t);
        const std::optional<std::string> answer = device.Answer(MakeFrame(0x50, 0x03, "\xF0"));
        ASSERT_TRUE(answer.has_value());
        read.push_back(static_cast<unsigned char>((*answer)[4]));
    }
    EXPECT_EQ(read, (std::vector<int>{128, 228, 128, 28}));
}

TEST(DemoDevice, ChecksumIsTheSumOfTheOtherBytesAsTheBuilderMakesIt) {
    // The frame built from "A 03 00 10 L CRC" with address 50.
    EXPECT_EQ(Checksum(Bytes("50 03 00 10 06")), 0x69);
    EXPECT_EQ(MakeFrame(0x50, 0x03, Bytes("00 10")), Bytes("50 03 06 00 10 69"));
    EXPECT_EQ(MakeFrame(0xFF, 0xFF, std::string(255 - kFrameOverhead, '\xFF')).size(), 255u);
}

struct OptionsCase {
    std::vector<std::string> args;
    std::string link;
    std::string record;
    bool echo;
    int address;
    int gapMs;
};

TEST(SimOptions, ReadsEachOption) {
    const OptionsCase cases[] = {
        {{}, "", "", false, 0x50, 20},
        {{"--link", "/tmp/x", "--echo"}, "/tmp/x", "", true, 0x50, 20},
        {{"--record", "/tmp/r", "--link", "/tmp/x"}, "/tmp/x", "/tmp/r", false, 0x50, 20},
        {{"--address", "7f", "--gap", "5"}, "", "", false, 0x7F, 5},
        {{"--address", "0"}, "", "", false, 0x00, 20},
        {{"--address", "FF", "--gap", "10000"}, "", "", false, 0xFF, 10000},
    };
    for (const OptionsCase& c : cases) {
        const auto parsed = ParseSimOptions(c.args);
        ASSERT_TRUE(std::holds_alternative<SimOptions>(parsed)) << std::get<std::string>(parsed);
        const auto& options = std::get<SimOptions>(parsed);
        EXPECT_EQ(options.link, c.link);
        EXPECT_EQ(options.record, c.record);
        EXPECT_EQ(options.echo, c.echo);
        EXPECT_EQ(options.address, c.address);
        EXPECT_EQ(options.gap.count(), c.gapMs);
    }
}

TEST(SimOptions, RefusesBadArgumentsWithTheReason) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--address", "100"}, "--address takes 1 or 2 hexadecimal digits, not '100'"},
        {{"--address", "G1"}, "--address takes 1 or 2 hexadecimal digits, not 'G1'"},
        {{"--address", ""}, "--address takes 1 or 2 hexadecimal digits, not ''"},
        {{"--gap", "0"}, "--gap takes milliseconds from 1 to 10000, not '0'"},
        {{"--gap", "-5"}, "--gap takes milliseconds from 1 to 10000, not '-5'"},
        {{"--gap", "10001"}, "--gap takes milliseconds from 1 to 10000, not '10001'"},
        {{"--gap", "5ms"}, "--gap takes milliseconds from 1 to 10000, not '5ms'"},
        {{"--link"}, "--link needs a value"},
        {{"--link", ""}, "--link needs a path"},
        {{"--record"}, "--record needs a value"},
        {{"--record", ""}, "--record needs a path"},
        {{"--verbose"}, "unknown argument '--verbose'"},
        {{"--table", ""}, "--table needs a path"},
        {{"--rows", "1"}, "--rows needs --table"},
        {{"--table", "t.ini", "--rows", "0"},
         "--rows takes rows from 1 to 29 such as 1,3-5, not '0'"},
    };
    for (const auto& [args, message] : cases) {
        const auto parsed = ParseSimOptions(args);
        ASSERT_TRUE(std::holds_alternative<std::string>(parsed)) << message;
        EXPECT_EQ(std::get<std::string>(parsed), message);
    }
}

// The simulator as a running process, reached through its link like a client would.
class SimProcess {
  public:
    explicit SimProcess(std::vector<std::string> extraArgs) {
        char dir[] = "/tmp/brantel-sim-testXXXXXX";
        dir_ = mkdtemp(dir);
        link_ = dir_ + "/device";
        std::vector<std::string> args = {BRANTEL_SIM_EXE, "--link", link_};
        args.insert(args.end(), extraArgs.begin(), extraArgs.end());
        child_ = fork();
        if (child_ == 0) {
            std::vector<char*> argv;
            for (std::string& arg : args) {
                argv.push_back(arg.data());
            }
            argv.push_back(nullptr);
            const int quiet = open("/dev/null", O_WRONLY);
            dup2(quiet, STDOUT_FILENO);
            execv(argv[0], argv.data());
            _exit(127);
        }
    }

    ~SimProcess() {
        Stop();
        Disconnect();
        std::filesystem::remove_all(dir_);
    }

    const std::string& Link() const { return link_; }

    // Opens the link once the simulator has made it.
    bool Connect() {
        const Clock::time_point end = Clock::now() + 5s;
        while (fd_ < 0 && Clock::now() < end) {
            fd_ = open(link_.c_str(), O_RDWR | O_NOCTTY);
            if (fd_ < 0) {
                std::this_thread::sleep_for(5ms);
            }
        }
        if (fd_ < 0) {
            return false;
        }
        termios raw{};
        tcgetattr(fd_, &raw);
        cfmakeraw(&raw);
        tcsetattr(fd_, TCSANOW, &raw);
        return true;
    }

    void Disconnect() {
        if (fd_ >= 0) {
            close(fd_);
            fd_ = -1;
        }
    }

    void Send(const std::string& bytes) {
        ASSERT_EQ(write(fd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }

    // What the simulator sends within the time, stopping early once `count` bytes came.
    std::string Receive(std::size_t count, std::chrono::milliseconds within = 2000ms) {
        return test::ReadWithin(fd_, count, within);
    }

    // Stops the simulator with SIGTERM; its exit status.
    int Stop() {
        if (child_ > 0) {
            kill(child_, SIGTERM);
        }
        return Exited();
    }

    // Waits up to 5 s for the simulator to end by itself; its exit status, or -1 when it had
    // to be killed.
    int Exited() {
        if (child_ <= 0) {
            return -1;
        }
        int status = 0;
        const Clock::time_point end = Clock::now() + 5s;
        while (waitpid(child_, &status, WNOHANG) == 0) {
            if (Clock::now() >= end) {
                kill(child_, SIGKILL);
                waitpid(child_, &status, 0);
            }
            std::this_thread::sleep_for(2ms);
        }
        child_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

  private:
    std::string dir_;
    std::string link_;
    pid_t child_ = -1;
    int fd_ = -1;
};

struct ExchangeCase {
    const char* name;
    std::string request;
    std::string answer;  // empty: the simulator stays silent
};

TEST(SimProcess, AnswersOverItsLineLikeTheDevice) {
    const ExchangeCase cases[] = {
        {"status", Bytes("50 02 04 56"), Bytes("50 02 07 00 01 01 5B")},
        {"bad checksum", Bytes("50 02 04 00"), Bytes("50 82 05 02 D9")},
        {"another address", Bytes("51 02 04 57"), ""},
        {"read register", Bytes("50 03 05 10 68"), Bytes("50 03 06 10 EF 58")},
    };
    SimProcess sim({});
    ASSERT_TRUE(sim.Connect());
    for (const ExchangeCase& c : cases) {
        SCOPED_TRACE(c.name);
        sim.Send(c.request);
        const std::size_t wanted = c.answer.empty() ? 1 : c.answer.size();
        // Silence is judged over many gaps of the simulator's frame splitting.
        EXPECT_EQ(sim.Receive(wanted, c.answer.empty() ? 300ms : 2000ms), c.answer);
    }
}

TEST(SimProcess, FramesAreSplitByTheIdleGap) {
    SimProcess sim({"--gap", "50"});
    ASSERT_TRUE(sim.Connect());
    sim.Send(Bytes("50 02"));
    sim.Send(Bytes("04 56"));
    EXPECT_EQ(sim.Receive(7), Bytes("50 02 07 00 01 01 5B"));

    sim.Send(Bytes("50 02"));
    std::this_thread::sleep_for(200ms);  // a pause of several gaps ends the first frame
    sim.Send(Bytes("04 56"));
    EXPECT_EQ(sim.Receive(5), Bytes("50 82 05 01 D8"));
    EXPECT_EQ(sim.Receive(1, 300ms), "");
}

TEST(SimProcess, EchoesEveryByteAndTakesAnotherAddress) {
    SimProcess echo({"--echo"});
    ASSERT_TRUE(echo.Connect());
    const std::string bytes = Bytes("00 51 02 04 57 FF 0D 0A");
    echo.Send(bytes);
    EXPECT_EQ(echo.Receive(bytes.size()), bytes);

    SimProcess other({"--address", "51"});
    ASSERT_TRUE(other.Connect());
    other.Send(Bytes("50 02 04 56"));
    EXPECT_EQ(other.Receive(1, 300ms), "");
    other.Send(Bytes("51 02 04 57"));
    EXPECT_EQ(other.Receive(7), Bytes("51 02 07 00 01 01 5C"));
}

TEST(SimProcess, StaysReachableAcrossClientsAndRemovesItsLinkOnStop) {
    SimProcess sim({});
    ASSERT_TRUE(sim.Connect());
    sim.Disconnect();
    ASSERT_TRUE(sim.Connect());
    sim.Send(Bytes("50 01 04 55"));
    EXPECT_EQ(sim.Receive(4), Bytes("50 01 04 55"));

    EXPECT_EQ(sim.Stop(), 0);
    struct stat gone {};
    EXPECT_NE(lstat(sim.Link().c_str(), &gone), 0);
}

std::string FileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The file's text once it equals `wanted`, or what it holds after 2 s.
std::string FileTextOnce(const std::filesystem::path& path, const std::string& wanted) {
    const Clock::time_point end = Clock::now() + 2s;
    while (FileText(path) != wanted && Clock::now() < end) {
        std::this_thread::sleep_for(5ms);
    }
    return FileText(path);
}

TEST(SimProcess, RecordsEveryReceivedByteInOrderAsItArrives) {
    const std::filesystem::path record =
        std::filesystem::temp_directory_path() / ("brantel-sim-record-" + std::to_string(getpid()));
    std::ofstream(record) << "left from an earlier run";
    SimProcess sim({"--record", record.string()});
    ASSERT_TRUE(sim.Connect());
    // Bytes for another device and a broken frame are recorded as well as answered ones.
    const ExchangeCase cases[] = {
        {"status", Bytes("50 02 04 56"), Bytes("50 02 07 00 01 01 5B")},
        {"another address", Bytes("51 02 04 57"), ""},
        {"too short", Bytes("50 FF"), Bytes("50 FF 05 01 55")},
    };
    std::string all;
    for (const ExchangeCase& c : cases) {
        SCOPED_TRACE(c.name);
        sim.Send(c.request);
        all += c.request;
        // Each read shows in the file while the simulator runs, not only at its exit.
        EXPECT_EQ(FileTextOnce(record, all), all);
        // The answer ends the frame, so the next request is a frame of its own.
        EXPECT_EQ(
            sim.Receive(c.answer.empty() ? 1 : c.answer.size(), c.answer.empty() ? 300ms : 2000ms),
            c.answer);
    }
    // A watcher may empty the file between steps; what comes next starts it again.
    std::filesystem::resize_file(record, 0);
    sim.Send(Bytes("50 01 04 55"));
    EXPECT_EQ(FileTextOnce(record, Bytes("50 01 04 55")), Bytes("50 01 04 55"));
    EXPECT_EQ(sim.Stop(), 0);
    std::filesystem::remove(record);
}

TEST(SimProcess, StopsWithAnErrorWhenTheRecordCannotBeWritten) {
    SimProcess sim({"--record", "/nonexistent-folder/record"});
    EXPECT_EQ(sim.Exited(), 1);
    struct stat none {};
    EXPECT_NE(lstat(sim.Link().c_str(), &none), 0);
}

}  // namespace
}  // namespace brantel::sim
