#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/line_settings.h"

namespace brantel::run {

// The command line of a run.
struct RunOptions {
    std::string ini;
    // Each unset one is taken from the INI file.
    std::optional<std::string> port;
    std::optional<std::string> address;
    std::optional<std::string> params;
    // The line settings instead of the port's stored ones.
    std::optional<LineSettings> line;
    // Rows in table order; unset: every row whose Command cell is not blank.
    std::optional<std::vector<int>> rows;
    int timeoutMs = 500;
    int gapMs = 20;
    // The longest an answer may go on from its first byte.
    int answerMaxMs = 5000;
    std::string junit;
    // Where each value read from an answer is appended, one line each.
    std::string csv;
    bool quiet = false;
    bool help = false;
    bool version = false;
};

// Thrown for a command line that cannot start a run, with what is wrong.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Reads the arguments after the program name.
RunOptions ParseRunOptions(const std::vector<std::string>& args);

extern const char kRunUsage[];

}  // namespace brantel::run
