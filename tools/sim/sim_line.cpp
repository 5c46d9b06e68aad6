#include "sim_line.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace brantel::sim {
namespace {

constexpr int kSendPatienceMs = 1000;

std::runtime_error Failure(const std::string& what) {
    return std::runtime_error(what + ": " + std::strerror(errno));
}

}  // namespace

SimLine::SimLine(std::string link) : link_(std::move(link)) {
    char name[256] = {};
    if (openpty(&master_, &device_, name, nullptr, nullptr) != 0) {
        throw Failure("cannot create a pseudo-terminal");
    }
    devicePath_ = name;
    // Raw, so nothing is echoed or translated before a client sets the line up itself.
    termios raw{};
    tcgetattr(device_, &raw);
    cfmakeraw(&raw);
    tcsetattr(device_, TCSANOW, &raw);
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    if (link_.empty()) {
        return;
    }
    // A link left by an earlier run is replaced; any other file is not touched.
    struct stat existing {};
    if (lstat(link_.c_str(), &existing) == 0 && S_ISLNK(existing.st_mode)) {
        unlink(link_.c_str());
    }
    if (symlink(devicePath_.c_str(), link_.c_str()) != 0) {
        const std::runtime_error failure = Failure("cannot make the link " + link_);
        link_.clear();
        close(master_);
        close(device_);
        throw failure;
    }
}

SimLine::~SimLine() {
    if (!link_.empty()) {
        unlink(link_.c_str());
    }
    close(master_);
    close(device_);
}

void SimLine::Send(const std::string& bytes) const {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = write(master_, bytes.data() + done, bytes.size() - done);
        if (put > 0) {
            done += static_cast<std::size_t>(put);
            continue;
        }
        if (put < 0 && errno != EAGAIN && errno != EINTR) {
            return;
        }
        pollfd writable{master_, POLLOUT, 0};
        if (poll(&writable, 1, kSendPatienceMs) == 0) {
            return;
        }
    }
}

}  // namespace brantel::sim
