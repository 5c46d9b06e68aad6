#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brantel {

// The text of a profile (INI) file, without any file access. Lines end with LF or CRLF;
// sections and keys match case-insensitively (ASCII); lines starting with ";" are comments.
// A "[" line without its "]" names a section up to the end of the line. A UTF-8 byte-order mark
// at the start of the file is read as no part of the first line, and kept as it is. Where a key
// occurs more than once (also across repeated sections of one name), the first one counts.

// The key's value, blanks (spaces, tabs) around it trimmed and one pair of matching enclosing
// quotes removed; nullopt when the section or the key is missing.
std::optional<std::string> FindProfileValue(std::string_view content, std::string_view section,
                                            std::string_view key);

struct ProfileEntry {
    std::string key;
    std::string value;
};
// The keys of a section in the order of the file, each with its value read as above.
std::vector<ProfileEntry> ProfileSection(std::string_view content, std::string_view section);

// The value as it is stored: wrapped in one more pair of double quotes when it begins or ends
// with a blank or a quote, so that FindProfileValue gives it back unchanged.
std::string QuoteProfileValue(std::string_view value);

// The content with the key set to the value: the key's line replaced in place, or a new line
// after the last non-blank line of its section, or the section appended at the end. Every
// other line is kept byte for byte. Throws std::invalid_argument for a section, key or value
// that the file could not give back (a line break, "]" in a section, "=" in a key, an empty
// or blank-edged name).
std::string WithProfileValue(std::string_view content, std::string_view section,
                             std::string_view key, std::string_view value);

}  // namespace brantel
