// Network ports against a real serial server: Debian's ser2net on 127.0.0.1 with a
// pseudo-terminal (or the device simulator) behind it.
#include <dirent.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTimer>
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <thread>

#include "serial/port_connection.h"
#include "serial/raw_transfer.h"
#include "serial/rfc2217_transport.h"
#include "support/pty_device.h"
#include "support/scratch_dir.h"
#include "support/ser2net_server.h"
#include "support/serial_fixture.h"

namespace brantel::test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using std::string_literals::operator""s;

LoggedLine Green(const std::string& text) {
    return {text, kPortStatusGreen};
}

// Every byte value, 0xFF (Telnet's escape) among them, and more than one 255-byte piece.
std::string EveryByteValue() {
    std::string bytes;
    for (int i = 0; i < 300; ++i) {
        bytes.push_back(static_cast<char>(255 - i % 256));
    }
    return bytes;
}

// A socket on 127.0.0.1 that listens but never speaks: connections complete in the kernel.
// With `full` its accept queue is filled first, so a further connection gets no answer at all.
class QuietListener {
  public:
    explicit QuietListener(bool full) : fd_(BindLoopback(port_)) {
        listen(fd_, 0);
        if (full) {
            filler_ = socket(AF_INET, SOCK_STREAM, 0);
            const sockaddr_in address = Loopback(port_);
            connect(filler_, reinterpret_cast<const sockaddr*>(&address), sizeof address);
        }
    }
    ~QuietListener() {
        close(fd_);
        if (filler_ >= 0) {
            close(filler_);
        }
    }
    std::uint16_t Port() const { return port_; }

  private:
    std::uint16_t port_ = 0;
    int fd_;
    int filler_ = -1;
};

// TCP_NODELAY of this process's sockets connected to 127.0.0.1:port, one entry per socket.
std::vector<int> NoDelayTowards(std::uint16_t port) {
    std::vector<int> values;
    DIR* fds = opendir("/proc/self/fd");
    while (const dirent* entry = readdir(fds)) {
        const int fd = std::atoi(entry->d_name);
        sockaddr_in peer{};
        socklen_t length = sizeof peer;
        int value = -1;
        socklen_t size = sizeof value;
        if (getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &length) == 0 &&
            peer.sin_family == AF_INET && ntohs(peer.sin_port) == port &&
            getsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &value, &size) == 0) {
            values.push_back(value);
        }
    }
    closedir(fds);
    return values;
}

// COM1 reaches the device as a raw TCP stream, COM2 over RFC 2217; the other numbers are set
// by each test.
class NetworkPortTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (Ser2netServer::Program().empty()) {
            GTEST_SKIP() << "ser2net is not installed (Debian package ser2net)";
        }
        StartServer();
    }

    // A server of its own for each case: ser2net takes a moment to let the device go after a
    // client leaves, and refuses another of its ports on the device meanwhile.
    void StartServer(const std::string& line = Ser2netServer::kToolsLine) {
        server_.reset();
        server_ = std::make_unique<Ser2netServer>(device_.SlavePath(), line);
        ports_[1] = server_->RawAddress();
        ports_[2] = server_->Rfc2217Address();
    }

    // Opens a port and forgets its open line, so the log holds only what follows.
    void OpenPort(int number) {
        ASSERT_TRUE(connection_.OpenPort(number, {})) << connection_.OpenFailure();
        log_.lines.clear();
    }

    // The poll's reads until `count` bytes came or the time is up.
    std::string ReadAll(std::size_t count) {
        std::string received;
        WaitUntil([&] {
            received += transfer_.ReadBytes();
            return received.size() >= count;
        });
        return received;
    }

    PtyDevice device_;
    std::unique_ptr<Ser2netServer> server_;
    std::map<int, std::string> ports_;
    LogRecorder log_;
    PortConnection connection_{log_.Sink(), [this](int number) -> std::optional<std::string> {
                                   const auto found = ports_.find(number);
                                   if (found == ports_.end()) {
                                       return std::nullopt;
                                   }
                                   return found->second;
                               }};
    RawTransfer transfer_{connection_, log_.HexSink(), [](const std::string&) {}};
};

struct ModeCase {
    const char* name;
    int number;
};
const ModeCase kModes[] = {{"raw TCP", 1}, {"RFC 2217", 2}};

TEST_F(NetworkPortTest, BytesCrossBothWaysUnchanged) {
    const std::string bytes = EveryByteValue();
    for (const ModeCase& mode : kModes) {
        SCOPED_TRACE(mode.name);
        StartServer();
        OpenPort(mode.number);

        EXPECT_EQ(transfer_.WriteBytes(bytes), static_cast<int>(bytes.size()));
        EXPECT_EQ(device_.Read(bytes.size()), bytes);
        device_.Write(bytes);
        EXPECT_EQ(ReadAll(bytes.size()), bytes);
        // Nothing of the protocol itself leaks into the line either way.
        EXPECT_EQ(device_.ReadFor(std::chrono::milliseconds(100)), "");
        EXPECT_EQ(transfer_.ReadBytes(), "");

        connection_.ClosePort();
        EXPECT_EQ(log_.lines.back(),
                  Green("Port COM" + std::to_string(mode.number) + ": is Closed"));
    }
}

// Bytes that come in are signalled on network ports as on a serial line, so the window can read
// them as they arrive rather than at its tick.
TEST_F(NetworkPortTest, ArrivalIsSignalledOnSerialAndNetworkPortsAlike) {
    PtyDevice local;
    ports_[3] = local.SlavePath();
    const ModeCase modes[] = {{"raw TCP", 1}, {"RFC 2217", 2}, {"serial line", 3}};
    for (const ModeCase& mode : modes) {
        SCOPED_TRACE(mode.name);
        StartServer();
        OpenPort(mode.number);
        QSignalSpy arrivals(&connection_, &PortConnection::Arrived);
        (mode.number == 3 ? local : device_).Write("\x01\x03");
        ASSERT_TRUE(arrivals.wait(2000));
        EXPECT_EQ(ReadAll(2), "\x01\x03");
        connection_.ClosePort();
    }
}

struct LineCase {
    const char* name;
    int number;
    const char* asked;
    speed_t speed;
    tcflag_t controlFlags;
    tcflag_t inputFlags;
};

TEST_F(NetworkPortTest, Rfc2217RunsTheServersLineAtThePortsSettings) {
    // Raw TCP leaves the server's own settings on the line; RFC 2217 replaces them with the
    // port's. Data bits and parity a pseudo-terminal cannot show: the open succeeds only when
    // the server has answered them as asked.
    const LineCase cases[] = {
        {"raw TCP", 1, "9600 8N1", B115200, CSTOPB | CRTSCTS, IXON | IXOFF},
        {"RFC 2217 default", 2, "9600 8N1", B9600, 0, 0},
        {"RFC 2217 19200 7E2 RTS/CTS", 2, "19200 7E2 RTS/CTS", B19200, CSTOPB | CRTSCTS, 0},
        {"RFC 2217 57600 8O1 XON/XOFF", 2, "57600 8O1 XON/XOFF", B57600, 0, IXON | IXOFF},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.name);
        StartServer("115200e72,rtscts,xonxoff");
        ASSERT_TRUE(connection_.OpenPort(c.number, ParseLineSettings(c.asked)))
            << connection_.OpenFailure();
        // The server sets its line as it opens the device, after accepting the connection.
        transfer_.WriteBytes("x");
        ASSERT_EQ(device_.Read(1), "x");

        const termios line = device_.LineSettings();
        EXPECT_EQ(cfgetospeed(&line), c.speed);
        EXPECT_EQ(cfgetispeed(&line), c.speed);
        EXPECT_EQ(line.c_cflag & (CSTOPB | CRTSCTS), c.controlFlags);
        EXPECT_EQ(line.c_iflag & (IXON | IXOFF), c.inputFlags);
        connection_.ClosePort();
    }
}

struct UnreachableCase {
    const char* name;
    std::string address;
    const char* reason;
};

TEST_F(NetworkPortTest, AnUnreachableServerIsBusyWithinThreeSecondsWhileTheWindowRuns) {
    const QuietListener silent(false);
    const QuietListener full(true);
    const std::string refused = std::to_string(FreeTcpPort());
    const UnreachableCase cases[] = {
        {"connection refused", "tcp://127.0.0.1:" + refused, "refused"},
        {"no RFC 2217 answer", "rfc2217://127.0.0.1:" + std::to_string(silent.Port()), "no answer"},
        {"no answer to the connection", "tcp://127.0.0.1:" + std::to_string(full.Port()),
         "no answer"},
        {"malformed address", "tcp://127.0.0.1", "not a network port"},
        {"raw TCP server in RFC 2217's place", server_->RawAddress().replace(0, 3, "rfc2217"),
         "no answer"},
    };
    for (const UnreachableCase& c : cases) {
        SCOPED_TRACE(c.name);
        ports_[3] = c.address;
        log_.lines.clear();
        int ticks = 0;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
        timer.start(50);
        QElapsedTimer elapsed;
        elapsed.start();

        EXPECT_FALSE(connection_.OpenPort(3, {}));

        EXPECT_LT(elapsed.elapsed(), 3500);
        // A wait of a second or more kept the event loop running.
        EXPECT_TRUE(elapsed.elapsed() < 1000 || ticks >= 10) << ticks << " ticks";
        EXPECT_THAT(connection_.OpenFailure(), HasSubstr(c.reason));
        EXPECT_EQ(connection_.PortHandle(), nullptr);
        EXPECT_EQ(connection_.OpenPortNumber(), 0);
        EXPECT_THAT(log_.lines, ElementsAre(Green("Port COM3: is Busy")));
    }
}

// Runs `open` with a thread that wakes the event loop once, `late` after it began, as nothing
// else would: an open that misses its own time ends then instead of hanging. How long it took.
std::chrono::milliseconds TimeWokenLate(const std::function<void()>& open,
                                        std::chrono::milliseconds late) {
    std::atomic<bool> done = false;
    const auto start = std::chrono::steady_clock::now();
    std::thread waker([&] {
        while (!done && std::chrono::steady_clock::now() - start < late) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        QCoreApplication::postEvent(QCoreApplication::instance(), new QEvent(QEvent::User));
    });
    open();
    done = true;
    waker.join();
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start);
}

// A program without timers of its own (the runner) has nothing but the open's own timer to
// end a wait for a silent server: each open must still end on time, every time.
TEST_F(NetworkPortTest, AnOpenWithNothingElseToWakeItEndsOnTimeEveryTime) {
    const QuietListener silent(false);
    const struct {
        const char* name;
        std::uint16_t port;
    } servers[] = {{"silent listener", silent.Port()}, {"raw TCP server", server_->RawPort()}};
    for (const auto& server : servers) {
        SCOPED_TRACE(server.name);
        for (int attempt = 0; attempt < 12; ++attempt) {
            Rfc2217Transport transport("127.0.0.1", server.port, std::chrono::milliseconds(150));
            const auto took = TimeWokenLate([&] { EXPECT_FALSE(transport.Open({})); },
                                            std::chrono::milliseconds(1000));
            EXPECT_LT(took.count(), 800) << "attempt " << attempt;
            EXPECT_EQ(transport.Failure(),
                      "no answer from 127.0.0.1:" + std::to_string(server.port) + " within 150 ms");
        }
    }
}

struct InterruptCase {
    const char* name;
    std::function<void(PortConnection&)> meanwhile;
    std::vector<LoggedLine> lines;
    int openAfter;
};

TEST_F(NetworkPortTest, ACloseOrOpenWhileConnectingGivesTheConnectUp) {
    const QuietListener full(true);
    ports_[3] = "tcp://127.0.0.1:" + std::to_string(full.Port());
    const InterruptCase cases[] = {
        {"close",
         [](PortConnection& connection) { connection.ClosePort(); },
         {Green("Port COM3: is Busy")},
         0},
        {"open of another port",
         [](PortConnection& connection) { connection.OpenPort(1, {}); },
         {Green("Port COM3: is Busy"), Green("Port COM1: is Opened")},
         1},
    };
    for (const InterruptCase& c : cases) {
        SCOPED_TRACE(c.name);
        connection_.ClosePort();
        log_.lines.clear();
        // As a timer of the window or its closing would, while the connect waits.
        QTimer::singleShot(200, &connection_, [&] { c.meanwhile(connection_); });
        QElapsedTimer elapsed;
        elapsed.start();

        EXPECT_FALSE(connection_.OpenPort(3, {}));

        EXPECT_LT(elapsed.elapsed(), 1500);
        EXPECT_THAT(log_.lines, ElementsAreArray(c.lines));
        EXPECT_EQ(connection_.OpenPortNumber(), c.openAfter);
        EXPECT_EQ(connection_.PortHandle() != nullptr, c.openAfter != 0);
    }
}

TEST_F(NetworkPortTest, AConnectionThatDropsReleasesThePortLikeAVanishedDevice) {
    for (const ModeCase& mode : kModes) {
        SCOPED_TRACE(mode.name);
        StartServer();
        OpenPort(mode.number);
        QSignalSpy released(&connection_, &PortConnection::Released);

        server_->Kill();
        ASSERT_TRUE(WaitUntil([&] { return connection_.PortHandle() == nullptr; }));
        WaitUntil([] { return false; }, 100);

        EXPECT_EQ(released.count(), 1);
        EXPECT_EQ(connection_.OpenPortNumber(), 0);
        const std::string closed = "Port COM" + std::to_string(mode.number) + ": is Closed";
        EXPECT_THAT(log_.lines, ElementsAre(Green(closed)));
        EXPECT_EQ(transfer_.ReadBytes(), "");
        EXPECT_EQ(transfer_.WriteBytes("A"), 0);
    }
}

// Without Nagle's algorithm a frame leaves at once, instead of waiting for the acknowledgement
// of the RTS command sent before it, and then arriving together with RTS falling.
TEST_F(NetworkPortTest, FramesAreSentWithoutDelay) {
    for (const ModeCase& mode : kModes) {
        SCOPED_TRACE(mode.name);
        StartServer();
        OpenPort(mode.number);
        const std::uint16_t port = mode.number == 1 ? server_->RawPort() : server_->Rfc2217Port();
        EXPECT_THAT(NoDelayTowards(port), ElementsAre(1));
        connection_.ClosePort();
    }
}

TEST_F(NetworkPortTest, TheSimulatorAnswersThroughTheServer) {
    const ScratchDir scratch;
    const std::string link = scratch.File("com2");
    QProcess sim;
    sim.start(BRANTEL_SIM_EXE, {"--link", QString::fromStdString(link)});
    ASSERT_TRUE(WaitUntil([&] { return QFileInfo::exists(QString::fromStdString(link)); }, 5000));
    const Ser2netServer simServer(link, Ser2netServer::kToolsLine);
    ports_[4] = simServer.Rfc2217Address();
    OpenPort(4);

    // The status command and its answer, as the simulator's documentation gives them.
    transfer_.WriteBytes("\x50\x02\x04\x56");
    EXPECT_EQ(ReadAll(7), "\x50\x02\x07\x00\x01\x01\x5B"s);
    sim.terminate();
    sim.waitForFinished(2000);
}

}  // namespace
}  // namespace brantel::test
