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

RawPty::RawPty() {
    char name[256] = {};
    if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
        throw std::system_error(errno, std::generic_category(), "openpty");
    }
    slavePath_ = name;
    termios raw{};
    tcgetattr(slave_, &raw);
    cfmakeraw(&raw);
    tcsetattr(slave_, TCSANOW, &raw);
}

RawPty::~RawPty() {
    Close();
}

void RawPty::Close() {
    for (int* fd : {&master_, &slave_}) {
        if (*fd >= 0) {
            ::close(*fd);
            *fd = -1;
        }
    }
}

std::string PtyDevice::Read(std::size_t count, std::chrono::milliseconds deadline) {
    return line_.Master() >= 0 ? ReadWithin(line_.Master(), count, deadline) : std::string();
}

std::string PtyDevice::ReadFor(std::chrono::milliseconds quiet) {
    return Read(static_cast<std::size_t>(-1), quiet);
}

void PtyDevice::Write(const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::write(line_.Master(), bytes.data() + done, bytes.size() - done);
        if (put < 0 && errno != EINTR) {
            throw std::system_error(errno, std::generic_category(), "write to pty master");
        }
        done += put > 0 ? static_cast<std::size_t>(put) : 0;
    }
}

void PtyDevice::Close() {
    line_.Close();
}

bool PtyDevice::Writable() const {
    pollfd line{line_.Master(), POLLOUT, 0};
    return ::poll(&line, 1, 0) == 1 && (line.revents & POLLOUT) != 0;
}

termios PtyDevice::LineSettings() const {
    termios settings{};
    // On a pseudo-terminal's master the terminal calls act on the line the program opened.
    tcgetattr(line_.Master(), &settings);
    return settings;
}

}  // namespace brantel::test
