#include "frame_options.h"

#include <cstddef>

#include "commands/command_row.h"

namespace brantel {

const std::string kFrameUsage =
    "usage: brantel-frame [--explain] [--quiet] [--address TEXT] [--params TEXT] [--var TEXT]...\n"
    "                     [--] TEMPLATE\n"
    "       brantel-frame --help | --version\n"
    "Prints the frame that \"Send Cmd\" would send for a command row whose Command cell is\n"
    "TEMPLATE, as hexadecimal bytes, and warnings about likely mistakes on standard error.\n"
    "  --explain       prints a table of what each token adds, the frame or the error, and\n"
    "                  the warnings\n"
    "  --quiet         prints no warnings on standard error\n"
    "  --address TEXT  the device address box (default 50)\n"
    "  --params TEXT   the Parameters box, pairs name:value separated by spaces\n"
    "  --var TEXT      the next variable cell (Var1, Var2, Var3, 1, 2, ...), at most " +
    std::to_string(kMaxVariables) + "\n";

FrameOptions ParseFrameOptions(const std::vector<std::string>& args) {
    FrameOptions options;
    std::vector<std::string> templates;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            templates.push_back(arg);
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
        if (arg == "--explain") {
            options.explain = true;
            continue;
        }
        if (arg == "--quiet") {
            options.quiet = true;
            continue;
        }
        if (arg == "--version") {
            options.version = true;
            return options;
        }
        if (arg != "--address" && arg != "--params" && arg != "--var") {
            throw UsageError("unknown option " + arg);
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
    if (templates.size() != 1) {
        throw UsageError(templates.empty() ? "no TEMPLATE given" : "more than one TEMPLATE given");
    }
    options.frameTemplate = templates.front();
    return options;
}

}  // namespace brantel
