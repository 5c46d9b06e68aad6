#pragma once

#include <optional>
#include <string>

#include "platform/lock_owner.h"

namespace brantel {

// This process and the host it runs on.
LockOwner ThisProcess();
// Whether a process with that pid runs on this host.
bool ProcessAlive(long pid);

// The lock beside an INI file, "<ini>.lock", that tells a second window the file is in use.
class IniLock {
  public:
    explicit IniLock(const std::string& iniPath);
    ~IniLock();
    IniLock(const IniLock&) = delete;
    IniLock& operator=(const IniLock&) = delete;

    const std::string& Path() const { return path_; }
    bool Held() const { return held_; }

    // Creates the lock for this process, taking over a stale one silently. Returns the owner
    // when another live process holds it; nullopt when this process holds it now, or when no
    // lock can be made beside the file (then nobody can be warned, and nothing is refused).
    std::optional<LockOwner> Acquire();
    // Makes the lock this process's, whoever holds it. Throws "Unable to write to <lock>".
    void TakeOver();
    // Removes the lock while it is still this process's: one that was taken over stays.
    void Release();

  private:
    std::string path_;
    LockOwner self_;
    bool held_ = false;
};

}  // namespace brantel
