#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace brantel {

// The command row the calculator builds a frame for, as given on its command line.
struct FrameOptions {
    std::string address = "50";
    std::string parameters;
    std::vector<std::string> variables;
    std::string frameTemplate;
    // --find-check: each captured frame's bytes instead of a template.
    bool findCheck = false;
    std::vector<std::string> capturedFrames;
    bool listChecks = false;
    bool explain = false;
    // TEMPLATE is a Response cell, explained instead of built.
    bool explainResponse = false;
    bool quiet = false;
    bool help = false;
    bool version = false;
};

// Thrown for a command line that names no single template or misuses an option.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Reads the arguments after the program name.
FrameOptions ParseFrameOptions(const std::vector<std::string>& args);

extern const std::string kFrameUsage;

}  // namespace brantel
