#include "support/pty_device.h"

#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>
#include <system_error>

namespace brantel::test {

std::string ReadWithin(int fd, std::size_t count, std::chrono::milliseconds within) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + within;
    std::string bytes;
    while (bytes.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
        pollfd ready{fd, POLLIN, 0};
        if (left.count() <= 0 || poll(&ready, 1, static_cast<int>(left.count())) <= 0) {
            break;
        }
        char buffer[4096];
        const ssize_t got = ::read(fd, buffer, std::min(sizeof buffer, count - bytes.size()));
        if (got <= 0) {
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    return bytes;
}

RawPty OpenRawPty() {
    RawPty pty;
    char name[256] = {};
    if (openpty(&pty.master, &pty.slave, name, nullptr, nullptr) != 0) {
        throw std::system_error(errno, std::generic_category(), "openpty");
    }
    pty.slavePath = name;
    termios raw{};
    tcgetattr(pty.slave, &raw);
    cfmakeraw(&raw);
    tcsetattr(pty.slave, TCSANOW, &raw);
    return pty;
}

PtyDevice::PtyDevice() {
    RawPty pty = OpenRawPty();
    master_ = pty.master;
    slave_ = pty.slave;
    slavePath_ = std::move(pty.slavePath);
}

PtyDevice::~PtyDevice() {
    Close();
}

std::string PtyDevice::Read(std::size_t count, std::chrono::milliseconds deadline) {
    return master_ >= 0 ? ReadWithin(master_, count, deadline) : std::string();
}

std::string PtyDevice::ReadFor(std::chrono::milliseconds quiet) {
    return Read(static_cast<std::size_t>(-1), quiet);
}

void PtyDevice::Write(const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (put < 0 && errno != EINTR) {
            throw std::system_error(errno, std::generic_category(), "write to pty master");
        }
        done += put > 0 ? static_cast<std::size_t>(put) : 0;
    }
}

void PtyDevice::Close() {
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
    if (slave_ >= 0) {
        ::close(slave_);
        slave_ = -1;
    }
}

}  // namespace brantel::test
