#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/profile_text.h"

namespace brantel {

// The private-profile (INI) file store. Every call reads or rewrites the file at that moment;
// nothing is cached between calls.
class ProfileStore {
  public:
    explicit ProfileStore(std::string path);

    const std::string& Path() const { return path_; }

    // The key's value (blanks around it trimmed, one pair of matching enclosing quotes
    // removed), or `fallback` when the file, section or key is missing. Sections and keys
    // match case-insensitively.
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view fallback) const;

    // The keys of the section and their values, in the file's order; none when it is missing.
    std::vector<ProfileEntry> ReadSection(std::string_view section) const;

    // Replaces the key in place, appends it to its section, or appends the section; the file
    // is rewritten atomically. Throws std::runtime_error "Unable to write to <path>".
    void WriteString(std::string_view section, std::string_view key, std::string_view value);

  private:
    std::string path_;
};

}  // namespace brantel
