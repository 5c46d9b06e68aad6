#include "options/screen_fit.h"

#include <algorithm>
#include <limits>

namespace brantel {
namespace {

bool Overlaps(const PlacementRect& a, const PlacementRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// The squared length of the gap between two rectangles; 0 when they touch or overlap.
long long GapSquared(const PlacementRect& a, const PlacementRect& b) {
    const long long dx = std::max({0, b.left - a.right, a.left - b.right});
    const long long dy = std::max({0, b.top - a.bottom, a.top - b.bottom});
    return dx * dx + dy * dy;
}

// The start of a span of `length` moved into [low, high), or to `low` when it is longer.
int Into(int start, int length, int low, int high) {
    return std::max(low, std::min(start, high - length));
}

}  // namespace

PlacementRect KeepOnScreens(const PlacementRect& rect, const std::vector<PlacementRect>& areas) {
    const bool reachable = std::any_of(areas.begin(), areas.end(), [&](const PlacementRect& area) {
        return Overlaps(rect, area);
    });
    if (areas.empty() || reachable) {
        return rect;
    }
    const PlacementRect& nearest = *std::min_element(
        areas.begin(), areas.end(),
        [&](const auto& a, const auto& b) { return GapSquared(rect, a) < GapSquared(rect, b); });
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const int left = Into(rect.left, width, nearest.left, nearest.right);
    const int top = Into(rect.top, height, nearest.top, nearest.bottom);
    return {left, top, left + width, top + height};
}

}  // namespace brantel
