#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace brantel {

// The process that holds an INI file's lock, and the machine it runs on.
struct LockOwner {
    long pid = 0;
    std::string host;
    bool operator==(const LockOwner&) const = default;
};

// The lock file's text: "<pid> <host>" and a line break.
std::string LockOwnerText(const LockOwner& owner);
// The owner a lock file names; nullopt for a text that names none (empty, cut short, garbled).
std::optional<LockOwner> ParseLockOwner(std::string_view text);

enum class LockState { kLive, kStale };

// Whether a lock still counts. A lock that names no owner is stale (its writer died before it
// wrote), and so is one naming this very process (a pid reused since its writer died) or a
// process `alive` does not find on this host. A lock from another host counts, as its process
// cannot be seen from here.
LockState JudgeLock(const std::optional<LockOwner>& owner, const LockOwner& self,
                    const std::function<bool(long pid)>& alive);

}  // namespace brantel
