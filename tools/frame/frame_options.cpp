#include "frame_options.h"

#include <cctype>
#include <cstddef>

#include "commands/command_row.h"
#include "text/integers.h"

namespace brantel {

namespace {

// A character as a message can show it: a control or non-ASCII byte as its code.
std::string Shown(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return std::isprint(byte) ? std::string(1, c) : "\\x" + HexText(byte, 2);
}

// "01 03 02 00 0A 38 43" or "010302000A3843": pairs of hex digits, blanks anywhere.
std::string CapturedFrame(const std::string& arg) {
    std::string digits;
    for (const char c : arg) {
        if (c == ' ' || c == '\t') {
            continue;
        }
        if (!std::isxdigit(static_cast<unsigned char>(c))) {
            throw UsageError("--find-check: `" + arg + "` is not hex bytes: `" + Shown(c) +
                             "` is not a hex digit");
        }
        digits += c;
    }
    if (digits.empty() || digits.size() % 2 != 0) {
        throw UsageError("--find-check: `" + arg + "` is not hex bytes: it has " +
                         (digits.empty() ? "no hex digits" : "an odd number of hex digits"));
    }
    std::string bytes;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        bytes += static_cast<char>(std::stoi(digits.substr(i, 2), nullptr, 16));
    }
    return bytes;
}

// What the positional arguments are for in each mode, and the template's options apart from
// the check modes.
void CheckOperands(FrameOptions& options, const std::vector<std::string>& operands,
                   const std::string& templateOption) {
    if (options.findCheck && options.listChecks) {
        throw UsageError("--find-check and --list-checks go alone");
    }
    if ((options.findCheck || options.listChecks) && !templateOption.empty()) {
        throw UsageError(templateOption + " is for a TEMPLATE, not " +
                         (options.findCheck ? "--find-check" : "--list-checks"));
    }
    if (options.listChecks) {
        if (!operands.empty()) {
            throw UsageError("--list-checks takes no arguments");
        }
        return;
    }
    if (options.findCheck) {
        if (operands.empty()) {
            throw UsageError("--find-check needs at least one frame");
        }
        for (const std::string& operand : operands) {
            options.capturedFrames.push_back(CapturedFrame(operand));
        }
        return;
    }
    if (operands.size() != 1) {
        throw UsageError(operands.empty() ? "no TEMPLATE given" : "more than one TEMPLATE given");
    }
    options.frameTemplate = operands.front();
}

}  // namespace

const std::string kFrameUsage =
    "usage: brantel-frame [--explain] [--quiet] [--address TEXT] [--params TEXT] [--var TEXT]...\n"
    "                     [--] TEMPLATE\n"
    "       brantel-frame --explain-response [--address TEXT] [--params TEXT] [--] CELL\n"
    "       brantel-frame --find-check HEX [HEX...]\n"
    "       brantel-frame --list-checks\n"
    "       brantel-frame --help | --version\n"
    "Prints the frame that \"Send Cmd\" would send for a command row whose Command cell is\n"
    "TEMPLATE, as hexadecimal bytes, and warnings about likely mistakes on standard error.\n"
    "  --explain       prints a table of what each token adds, the frame or the error, and\n"
    "                  the warnings\n"
    "  --quiet         prints no warnings on standard error\n"
    "  --address TEXT  the device address box (default 50)\n"
    "  --params TEXT   the Parameters box, pairs name:value separated by spaces\n"
    "  --var TEXT      the next variable cell (Var1, Var2, Var3, 1, 2, ...), at most " +
    std::to_string(kMaxVariables) +
    "\n"
    "  --explain-response  reads the argument as a Response cell and prints what it expects\n"
    "                  and each field with the bytes it reads, or why the cell is a note\n"
    "  --find-check    takes each HEX as one captured frame (\"01 03 02 00 0A 38 43\", blanks\n"
    "                  optional) and prints every check that ends all of them, best guess first\n"
    "  --list-checks   prints every check it knows by name: its parameters, its value over\n"
    "                  the ASCII bytes 123456789 and its aliases\n";

FrameOptions ParseFrameOptions(const std::vector<std::string>& args) {
    FrameOptions options;
    std::vector<std::string> operands;
    std::string templateOption;  // the first option that only a template takes
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            return options;
        }
        if (arg == "--version") {
            options.version = true;
            return options;
        }
        if (arg == "--find-check" || arg == "--list-checks") {
            (arg == "--find-check" ? options.findCheck : options.listChecks) = true;
            continue;
        }
        if (arg != "--explain" && arg != "--explain-response" && arg != "--quiet" &&
            arg != "--address" && arg != "--params" && arg != "--var") {
            throw UsageError("unknown option " + arg);
        }
        if (templateOption.empty()) {
            templateOption = arg;
        }
        if (arg == "--explain" || arg == "--explain-response" || arg == "--quiet") {
            (arg == "--explain"            ? options.explain
             : arg == "--explain-response" ? options.explainResponse
                                           : options.quiet) = true;
            continue;
        }
        if (i + 1 == args.size()) {
            throw UsageError(arg + " needs a value");
        }
        const std::string& value = args[++i];
        if (arg == "--address") {
            options.address = value;
        } else if (arg == "--params") {
            options.parameters = value;
        } else if (options.variables.size() == static_cast<std::size_t>(kMaxVariables)) {
            throw UsageError("a command row holds at most " + std::to_string(kMaxVariables) +
                             " --var values");
        } else {
            options.variables.push_back(value);
        }
    }
    CheckOperands(options, operands, templateOption);
    return options;
}

}  // namespace brantel
