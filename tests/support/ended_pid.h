#pragma once

#include <sys/wait.h>
#include <unistd.h>

namespace brantel::test {

// The pid of a process that has ended and been waited for: it names no running process.
inline long EndedPid() {
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(0);
    }
    ::waitpid(child, nullptr, 0);
    return child;
}

}  // namespace brantel::test
