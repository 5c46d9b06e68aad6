#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace brantel {

// The whole file; nullopt when it cannot be read (missing, a directory, no permission).
std::optional<std::string> ReadWholeFile(const std::string& path);

// Whether anything (a file, a directory, a dangling link) stands at the path.
bool PathTaken(const std::string& path);

// Replaces the file's content through a temporary file in the same directory, flushed to disk
// and renamed over it, so the file is either the old one or the new one, never a mix. A
// symbolic link is followed and its target replaced; an existing file keeps its permissions.
// Throws std::runtime_error "Unable to write to <path>"; the old file is then left as it was.
void ReplaceFileAtomically(const std::string& path, std::string_view content);

// Whether ReplaceFileAtomically could replace the file now: the file, if any, is writable, and
// a temporary file can be made and renamed in its folder. Leaves nothing behind.
bool CanReplaceAtomically(const std::string& path);

}  // namespace brantel
