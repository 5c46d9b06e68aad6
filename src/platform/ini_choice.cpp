#include "platform/ini_choice.h"

#include <filesystem>
#include <optional>
#include <stdexcept>

#include "platform/atomic_file.h"

namespace brantel {

std::string ChooseIniPath(const std::string& beside, const std::string& perUserFolder) {
    if (CanReplaceAtomically(beside)) {
        return beside;
    }
    const std::string perUser = perUserFolder + "/brantel.ini";
    if (!PathTaken(perUser)) {
        std::error_code ignored;
        std::filesystem::create_directories(perUserFolder, ignored);
        if (const std::optional<std::string> stored = ReadWholeFile(beside)) {
            try {
                ReplaceFileAtomically(perUser, *stored);
            } catch (const std::runtime_error&) {
                // The first save reports the folder that cannot be written.
            }
        }
    }
    return perUser;
}

}  // namespace brantel
