#include "run_options.h"

#include <charconv>
#include <functional>
#include <map>
#include <optional>
#include <string_view>
#include <utility>

#include "commands/row_list.h"

namespace brantel::run {

const char kRunUsage[] =
    "usage: brantel-run --ini FILE [--port COMn|PATH|URL] [--line SETTINGS] [--rows LIST]\n"
    "                   [--timeout MS] [--gap MS] [--answer-max MS] [--address HEX]\n"
    "                   [--params TEXT] [--junit FILE] [--csv FILE] [--quiet]\n"
    "Sends the rows of a command table to a device and checks each answer against the row's\n"
    "Response cell.\n"
    "  --ini FILE      the INI file holding the command table and the stored options\n"
    "  --port PORT     COM1 to COM4 (mapped through [Ports]), a device path,\n"
    "                  tcp://HOST:PORT or rfc2217://HOST:PORT; default: the stored port number\n"
    "  --line SETTINGS the line instead of the port's stored settings, such as \"115200 8E1\"\n"
    "                  or \"19200 7O2 RTS/CTS\" (default: COMn's in [Ports], else 9600 8N1)\n"
    "  --rows LIST     rows such as 1,3-5; default: every row with a command\n"
    "  --timeout MS    wait this long for an answer's first byte, 1 to 600000 (default 500)\n"
    "  --gap MS        an answer ends after this much quiet, 1 to 10000 (default 20)\n"
    "  --answer-max MS an answer that goes on longer from its first byte fails the row,\n"
    "                  1 to 600000 (default 5000); so does one over 65536 bytes\n"
    "  --address HEX   the address text instead of the stored one\n"
    "  --params TEXT   the parameters text instead of the stored one\n"
    "  --junit FILE    also write a JUnit XML report to FILE\n"
    "  --csv FILE      append each value read by a Response cell's fields to FILE:\n"
    "                  time,row,field,value\n"
    "  --quiet         print only failed rows and the closing line\n"
    "  --version       print the version\n"
    "Exit status: 0 every row checked passed, 1 a row failed, 2 the run could not start or\n"
    "finish (the port lost), 4 no row was checked, 130 or 143 interrupted by SIGINT or SIGTERM.\n";

namespace {

// A whole number from `low` to `high`, digits only.
std::optional<int> NumberIn(std::string_view text, int low, int high) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || text.front() == '-' || error != std::errc() ||
        end != text.data() + text.size() || value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

int Milliseconds(const std::string& option, const std::string& value, int high) {
    const std::optional<int> number = NumberIn(value, 1, high);
    if (!number) {
        throw UsageError(option + " takes milliseconds from 1 to " + std::to_string(high) +
                         ", not '" + value + "'");
    }
    return *number;
}

LineSettings Line(const std::string& text) {
    try {
        return ParseLineSettings(text);
    } catch (const LineSettingsError& error) {
        throw UsageError(std::string("--line: ") + error.what());
    }
}

std::vector<int> Rows(const std::string& list) {
    std::optional<std::vector<int>> rows = ParseRowList(list);
    if (!rows) {
        throw UsageError("--rows takes " + std::string(kRowListRule) + ", not '" + list + "'");
    }
    return std::move(*rows);
}

}  // namespace

RunOptions ParseRunOptions(const std::vector<std::string>& args) {
    RunOptions options;
    const std::map<std::string, std::function<void(const std::string&)>> valued = {
        {"--ini", [&](const std::string& v) { options.ini = v; }},
        {"--port", [&](const std::string& v) { options.port = v; }},
        {"--line", [&](const std::string& v) { options.line = Line(v); }},
        {"--rows", [&](const std::string& v) { options.rows = Rows(v); }},
        {"--timeout",
         [&](const std::string& v) { options.timeoutMs = Milliseconds("--timeout", v, 600000); }},
        {"--gap", [&](const std::string& v) { options.gapMs = Milliseconds("--gap", v, 10000); }},
        {"--answer-max",
         [&](const std::string& v) {
             options.answerMaxMs = Milliseconds("--answer-max", v, 600000);
         }},
        {"--address", [&](const std::string& v) { options.address = v; }},
        {"--params", [&](const std::string& v) { options.params = v; }},
        {"--junit", [&](const std::string& v) { options.junit = v; }},
        {"--csv", [&](const std::string& v) { options.csv = v; }},
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            return options;
        }
        if (arg == "--version") {
            options.version = true;
            return options;
        }
        if (arg == "--quiet") {
            options.quiet = true;
            continue;
        }
        const auto option = valued.find(arg);
        if (option == valued.end()) {
            throw UsageError("unknown argument '" + arg + "'");
        }
        if (i + 1 == args.size()) {
            throw UsageError(arg + " needs a value");
        }
        option->second(args[++i]);
    }
    if (options.ini.empty()) {
        throw UsageError("--ini FILE is required");
    }
    if (options.port && options.port->empty()) {
        throw UsageError("--port needs a port");
    }
    if (std::find(args.begin(), args.end(), "--junit") != args.end() && options.junit.empty()) {
        throw UsageError("--junit needs a file");
    }
    if (std::find(args.begin(), args.end(), "--csv") != args.end() && options.csv.empty()) {
        throw UsageError("--csv needs a file");
    }
    return options;
}

}  // namespace brantel::run
