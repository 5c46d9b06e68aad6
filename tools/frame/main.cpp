#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "frame_options.h"
#include "frames/explanation_table.h"
#include "frames/fixed_frame_inputs.h"
#include "frames/frame_builder.h"
#include "frames/frame_explanation.h"
#include "text/error_text.h"
#include "text/hex_line.h"
#include "version/version.h"

namespace brantel {
namespace {

int Failed(const std::string& message) {
    std::cerr << ErrorDisplayText(message) << '\n';
    return 1;
}

// The table goes to standard output; a failed build is reported and ends the run as without it.
int Explain(const std::string& frameTemplate, const FixedFrameInputs& row) {
    const FrameExplanation explanation = ExplainFrame(frameTemplate, row);
    std::cout << ExplanationTable(explanation);
    return explanation.built ? 0 : Failed(explanation.error);
}

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
    FixedFrameInputs row;
    row.address = options.address;
    row.variables = options.variables;
    std::string line;
    try {
        row.params.Parse(options.parameters);
        if (options.explain) {
            return Explain(options.frameTemplate, row);
        }
        line = HexLine(BuildFrame(options.frameTemplate, row));
    } catch (const std::exception& error) {
        return Failed(error.what());
    }
    if (!line.empty()) {
        line.pop_back();
    }
    std::cout << line << '\n';
    return 0;
}

}  // namespace
}  // namespace brantel

int main(int argc, char** argv) {
    return brantel::Run(std::vector<std::string>(argv + 1, argv + argc));
}
