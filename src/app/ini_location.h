#pragma once

#include <string>

namespace brantel {

// The INI file beside the executable, or the per-user configuration file when that one can
// be neither created nor written (an installed program in a read-only folder).
std::string ResolveIniPath();

}  // namespace brantel
