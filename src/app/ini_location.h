#pragma once

#include <string>

namespace brantel {

// The INI file beside the executable, or the per-user configuration file when a save cannot
// replace it there (an installed program in a read-only folder).
std::string ResolveIniPath();

}  // namespace brantel
