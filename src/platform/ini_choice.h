#pragma once

#include <string>

namespace brantel {

// The INI file the program uses: `beside` (the file beside the executable) when a save can
// replace it there, else "brantel.ini" in `perUserFolder`. The per-user file starts as a copy
// of the file beside the executable when there is none yet, so nothing stored is left behind.
std::string ChooseIniPath(const std::string& beside, const std::string& perUserFolder);

}  // namespace brantel
