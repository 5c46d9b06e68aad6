#include "platform/executable_paths.h"

#include "platform/ascii_case.h"

namespace brantel {

std::string IniPathFor(std::string_view executablePath) {
    const std::size_t last = executablePath.find_last_of(".\\/:");
    if (last != std::string_view::npos && executablePath[last] == '.') {
        executablePath = executablePath.substr(0, last);
    }
    return std::string(executablePath) + ".ini";
}

std::string ApplicationTitleFor(std::string_view executablePath) {
    const std::size_t separator = executablePath.find_last_of("\\/");
    std::string_view name =
        separator == std::string_view::npos ? executablePath : executablePath.substr(separator + 1);
    name = name.substr(0, name.find('.'));
    std::string title(name);
    for (std::size_t i = 0; i < title.size(); ++i) {
        title[i] = static_cast<char>(i == 0 ? AsciiUpper(title[i]) : AsciiLower(title[i]));
    }
    return title;
}

}  // namespace brantel
