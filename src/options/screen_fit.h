#pragma once

#include <vector>

#include "options/placed_window.h"

namespace brantel {

// The window's rectangle where it can be reached: unchanged when it overlaps one of the
// screens' available areas, otherwise moved, at its size, onto the nearest area, as far into
// it as the size allows. With no areas known, unchanged.
PlacementRect KeepOnScreens(const PlacementRect& rect, const std::vector<PlacementRect>& areas);

}  // namespace brantel
