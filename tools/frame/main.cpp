#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "frame_options.h"
#include "frames/fixed_frame_inputs.h"
#include "frames/frame_builder.h"
#include "text/error_text.h"
#include "text/hex_line.h"
#include "version/version.h"

namespace brantel {
namespace {

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
    std::string line;
    try {
        FixedFrameInputs row;
        row.address = options.address;
        row.params.Parse(options.parameters);
        row.variables = options.variables;
        line = HexLine(BuildFrame(options.frameTemplate, row));
    } catch (const std::exception& error) {
        std::cerr << ErrorDisplayText(error.what()) << '\n';
        return 1;
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
