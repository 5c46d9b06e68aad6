#include "platform/ini_lock.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "platform/atomic_file.h"

namespace brantel {
namespace {

std::optional<LockOwner> OwnerNamedIn(const std::string& path) {
    const std::optional<std::string> text = ReadWholeFile(path);
    return text ? ParseLockOwner(*text) : std::nullopt;
}

}  // namespace

LockOwner ThisProcess() {
    char host[HOST_NAME_MAX + 1] = {};
    if (::gethostname(host, sizeof host - 1) != 0 || host[0] == '\0') {
        host[0] = '?';
    }
    return {static_cast<long>(::getpid()), host};
}

bool ProcessAlive(long pid) {
    // EPERM: the process exists but belongs to another user.
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

IniLock::IniLock(const std::string& iniPath) : path_(iniPath + ".lock"), self_(ThisProcess()) {}

IniLock::~IniLock() {
    Release();
}

std::optional<LockOwner> IniLock::Acquire() {
    // Another start may take over the same stale lock at the same moment: try again then.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            const std::string text = LockOwnerText(self_);
            held_ = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
            ::close(fd);
            return std::nullopt;
        }
        if (errno != EEXIST) {
            return std::nullopt;
        }
        const std::optional<LockOwner> owner = OwnerNamedIn(path_);
        if (JudgeLock(owner, self_, ProcessAlive) == LockState::kLive) {
            return owner;
        }
        if (::unlink(path_.c_str()) != 0 && errno != ENOENT) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

void IniLock::TakeOver() {
    ReplaceFileAtomically(path_, LockOwnerText(self_));
    held_ = true;
}

void IniLock::Release() {
    if (held_ && OwnerNamedIn(path_) == self_) {
        ::unlink(path_.c_str());
    }
    held_ = false;
}

}  // namespace brantel
