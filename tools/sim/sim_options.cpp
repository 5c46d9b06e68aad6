#include "sim_options.h"

#include <charconv>
#include <optional>

#include "commands/row_list.h"

namespace brantel::sim {
namespace {

template <typename Number>
bool ParseWhole(const std::string& text, int base, Number& value) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, base);
    return !text.empty() && error == std::errc() && stop == end;
}

}  // namespace

std::variant<SimOptions, std::string> ParseSimOptions(const std::vector<std::string>& args) {
    SimOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--echo") {
            options.echo = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            continue;
        }
        if (arg == "--version") {
            options.version = true;
            continue;
        }
        if (arg != "--link" && arg != "--record" && arg != "--address" && arg != "--gap" &&
            arg != "--table" && arg != "--rows") {
            return "unknown argument '" + arg + "'";
        }
        if (i + 1 == args.size()) {
            return arg + " needs a value";
        }
        const std::string& value = args[++i];
        if (arg == "--link" || arg == "--record" || arg == "--table") {
            if (value.empty()) {
                return arg + " needs a path";
            }
            (arg == "--link"     ? options.link
             : arg == "--record" ? options.record
                                 : options.table) = value;
        } else if (arg == "--rows") {
            const std::optional<std::vector<int>> rows = ParseRowList(value);
            if (!rows) {
                return std::string("--rows takes ") + kRowListRule + ", not '" + value + "'";
            }
            options.rows = *rows;
        } else if (arg == "--address") {
            unsigned address = 0;
            if (value.size() > 2 || !ParseWhole(value, 16, address)) {
                return "--address takes 1 or 2 hexadecimal digits, not '" + value + "'";
            }
            options.address = static_cast<std::uint8_t>(address);
            options.addressGiven = true;
        } else {
            int gap = 0;
            if (!ParseWhole(value, 10, gap) || gap < 1 || gap > 10000) {
                return "--gap takes milliseconds from 1 to 10000, not '" + value + "'";
            }
            options.gap = std::chrono::milliseconds(gap);
        }
    }
    if (!options.rows.empty() && options.table.empty()) {
        return "--rows needs --table";
    }
    return options;
}

}  // namespace brantel::sim
