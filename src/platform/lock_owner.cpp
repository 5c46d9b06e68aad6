#include "platform/lock_owner.h"

#include <charconv>

namespace brantel {

std::string LockOwnerText(const LockOwner& owner) {
    return std::to_string(owner.pid) + " " + owner.host + "\n";
}

std::optional<LockOwner> ParseLockOwner(std::string_view text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    const std::size_t blank = text.find(' ');
    if (blank == std::string_view::npos || blank + 1 == text.size()) {
        return std::nullopt;
    }
    LockOwner owner;
    const char* end = text.data() + blank;
    const auto [stop, error] = std::from_chars(text.data(), end, owner.pid);
    const std::string_view host = text.substr(blank + 1);
    if (error != std::errc() || stop != end || owner.pid <= 0 ||
        host.find_first_of(" \r\n") != std::string_view::npos) {
        return std::nullopt;
    }
    owner.host = std::string(host);
    return owner;
}

LockState JudgeLock(const std::optional<LockOwner>& owner, const LockOwner& self,
                    const std::function<bool(long pid)>& alive) {
    if (!owner || *owner == self) {
        return LockState::kStale;
    }
    if (owner->host != self.host) {
        return LockState::kLive;
    }
    return alive(owner->pid) ? LockState::kLive : LockState::kStale;
}

}  // namespace brantel
