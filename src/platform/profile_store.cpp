#include "platform/profile_store.h"

#include <stdexcept>
#include <utility>

#include "platform/atomic_file.h"
#include "platform/profile_text.h"

namespace brantel {

ProfileStore::ProfileStore(std::string path) : path_(std::move(path)) {}

std::string ProfileStore::ReadString(std::string_view section, std::string_view key,
                                     std::string_view fallback) const {
    const std::optional<std::string> content = ReadWholeFile(path_);
    if (!content) {
        return std::string(fallback);
    }
    return FindProfileValue(*content, section, key).value_or(std::string(fallback));
}

std::vector<ProfileEntry> ProfileStore::ReadSection(std::string_view section) const {
    const std::optional<std::string> content = ReadWholeFile(path_);
    return content ? ProfileSection(*content, section) : std::vector<ProfileEntry>{};
}

void ProfileStore::WriteString(std::string_view section, std::string_view key,
                               std::string_view value) {
    std::optional<std::string> content = ReadWholeFile(path_);
    if (!content && PathTaken(path_)) {
        // Something is there that cannot be read: rewriting it would lose its content.
        throw std::runtime_error("Unable to write to " + path_);
    }
    ReplaceFileAtomically(path_, WithProfileValue(content.value_or(""), section, key, value));
}

}  // namespace brantel
