#pragma once

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include <QStringList>
#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "support/window_fixture.h"

// Shows reported errors readably in a failure message, each cut to its first 200 characters.
inline void PrintTo(const QStringList& errors, std::ostream* out) {
    for (const QString& error : errors) {
        *out << "\n  " << error.left(200).toStdString();
    }
}

namespace brantel::test {

// Lowers one of the process's resource limits while it lives. A write past the file-size
// limit then fails with an error instead of ending the process.
class LoweredLimit {
  public:
    LoweredLimit(int resource, rlim_t soft) : resource_(resource) {
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(resource_, &saved_);
        rlimit lowered = saved_;
        lowered.rlim_cur = soft;
        if (setrlimit(resource_, &lowered) != 0) {
            ADD_FAILURE() << "the limit cannot be lowered";
        }
    }
    ~LoweredLimit() {
        setrlimit(resource_, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    LoweredLimit(const LoweredLimit&) = delete;
    LoweredLimit& operator=(const LoweredLimit&) = delete;

  private:
    int resource_;
    rlimit saved_{};
    void (*previousHandler_)(int);
};

// An INI "Ports" section that maps port `number` to `device`. Written ahead of the fixture's
// own mapping, it wins: the first of duplicate keys counts.
inline std::string PortMapping(int number, const std::string& device) {
    return "[Ports]\nCOM" + std::to_string(number) + "=" + device + "\n";
}

// Whether two byte strings are equal; when not, their sizes and where they part, rather than
// both whole (they may be megabytes long).
inline ::testing::AssertionResult SameBytes(const std::string& actual,
                                            const std::string& expected) {
    if (actual == expected) {
        return ::testing::AssertionSuccess();
    }
    const auto parted =
        std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end());
    return ::testing::AssertionFailure()
           << actual.size() << " bytes where " << expected.size() << " were expected, parting at "
           << (parted.first - actual.begin());
}

// The log without its blue (received) lines.
inline std::vector<LoggedLine> LogWithoutReceived(const WindowFixture& fixture) {
    std::vector<LoggedLine> lines = fixture.Log();
    std::erase_if(lines, [](const LoggedLine& line) { return line.colour == kReceivedBlue; });
    return lines;
}

// The blue (received) lines of the window's log, joined in order.
inline std::string ReceivedHex(const WindowFixture& fixture) {
    std::string hex;
    for (const LoggedLine& line : fixture.Log()) {
        if (line.colour == kReceivedBlue) {
            hex += line.text;
        }
    }
    return hex;
}

}  // namespace brantel::test
