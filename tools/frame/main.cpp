#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "frame_options.h"
#include "frames/frame_builder.h"
#include "frames/named_params.h"
#include "text/error_text.h"
#include "text/hex_line.h"

namespace brantel {
namespace {

// A command row holding the --var values from its first variable column on; every other cell
// is empty.
class CommandLineRow : public FrameInputs {
  public:
    explicit CommandLineRow(const FrameOptions& options) : options_(options) {
        params_.ParametersChange(options.parameters);
    }

    std::string AddressText() const override { return options_.address; }
    const NamedParam* LookupNamedParam(std::string_view token) const override {
        return params_.LookupNamedParam(token);
    }
    std::string CurrentRowCell(int column) const override {
        const int index = column - kFirstVariableColumn;
        if (index < 0 || index >= static_cast<int>(options_.variables.size())) {
            return {};
        }
        return options_.variables[index];
    }

  private:
    const FrameOptions& options_;
    NamedParamTable params_;
};

int Run(const std::vector<std::string>& args) {
    FrameOptions options;
    try {
        options = ParseFrameOptions(args);
    } catch (const UsageError& error) {
        std::cerr << "brantel-frame: " << error.what() << '\n' << kFrameUsage;
        return 2;
    }
    if (options.help) {
        std::cout << kFrameUsage;
        return 0;
    }
    std::string line;
    try {
        const CommandLineRow row(options);
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
