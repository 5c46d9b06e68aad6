#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "checks/check_search.h"
#include "checks/crc_catalogue.h"
#include "frame_options.h"
#include "frames/explanation_table.h"
#include "frames/fixed_frame_inputs.h"
#include "frames/frame_explanation.h"
#include "frames/response_explanation.h"
#include "text/error_text.h"
#include "text/hex_line.h"
#include "text/words.h"
#include "version/version.h"

namespace brantel {
namespace {

int Failed(const std::string& message) {
    std::cerr << ErrorDisplayText(message) << '\n';
    return 1;
}

// The frame as one line of hex bytes; nothing when it was not built.
std::string FrameLine(const FrameExplanation& explanation) {
    if (!explanation.built) {
        return {};
    }
    std::string line = HexLine(explanation.frame);
    if (!line.empty()) {
        line.pop_back();
    }
    return line + '\n';
}

// Best guess first; nothing found is a failure, so a script can tell.
int FindCheck(const std::vector<std::string>& frames) {
    const std::vector<CheckToken> found = FindChecks(frames);
    if (found.empty()) {
        std::cerr << "no check found\n";
        return 1;
    }
    for (const CheckToken& check : found) {
        std::cout << check.Text() << "  " << check.algorithm.Description() << '\n';
    }
    return 0;
}

// The value over "123456789" is what published tables give, so a reader can match a
// device's manual to a name here.
int ListChecks() {
    for (const CheckAlgorithm& check : AllChecks()) {
        std::cout << check.name << "  " << check.Description() << "  check "
                  << check.Digits(check.Compute("123456789"));
        const CatalogueCrc* crc = FindCatalogueCrc(check.name);
        const std::vector<std::string_view> aliases = crc != nullptr
                                                          ? Words(crc->aliases, DelimiterSet(" "))
                                                          : std::vector<std::string_view>{};
        for (std::size_t i = 0; i < aliases.size(); ++i) {
            std::cout << (i == 0 ? (aliases.size() == 1 ? "  alias " : "  aliases ") : ", ")
                      << aliases[i];
        }
        std::cout << '\n';
    }
    return 0;
}

// The frame (or the table) goes to standard output; the warnings and the error to standard
// error, with or without the table, so a script sees the same status and messages either way.
int Run(const std::vector<std::string>& args) {
    FrameOptions options;
    try {
        options = ParseFrameOptions(args);
    } catch (const UsageError& error) {
        std::cerr << "brantel-frame: " << error.what() << '\n' << kFrameUsage;
        return 2;
    }
    if (options.help || options.version) {
        std::cout << (options.help ? kFrameUsage : VersionLine("brantel-frame"));
        return 0;
    }
    if (options.findCheck) {
        return FindCheck(options.capturedFrames);
    }
    if (options.listChecks) {
        return ListChecks();
    }
    FixedFrameInputs row;
    row.address = options.address;
    row.variables = options.variables;
    try {
        row.params.Parse(options.parameters);
    } catch (const std::exception& error) {
        return Failed(error.what());
    }
    if (options.explainResponse) {
        std::cout << ResponseExplanation(options.frameTemplate, row);
        return 0;
    }
    const FrameExplanation explanation = ExplainFrame(options.frameTemplate, row);
    std::cout << (options.explain ? ExplanationTable(explanation) : FrameLine(explanation));
    if (!options.quiet) {
        std::cerr << WarningLines(explanation);
    }
    return explanation.built ? 0 : Failed(explanation.failure);
}

}  // namespace
}  // namespace brantel

int main(int argc, char** argv) {
    return brantel::Run(std::vector<std::string>(argv + 1, argv + argc));
}
