#pragma once

#include <string>
#include <vector>

namespace brantel {

class ProfileStore;

inline constexpr char kLayoutSection[] = "Layout";
// The narrowest and widest column a stored width gives: never one too narrow to find and drag.
inline constexpr int kNarrowestColumn = 20;
inline constexpr int kWidestColumn = 4000;
inline constexpr int kTallestGrid = 10000;

// The sizes the user gave the window's inner parts, section "Layout" of the INI file: the
// grid's height above the splitter (`Splitter`) and the grid's column widths, column 0 first
// (`Columns`, numbers joined by ",").
struct WindowLayout {
    int gridHeight = 0;
    std::vector<int> columns;
    bool operator==(const WindowLayout&) const = default;
};

// The stored layout over `defaults`: a height from 0 to kTallestGrid replaces the default; each
// width that is a number replaces its column's default, held to kNarrowestColumn..kWidestColumn.
// Anything else (missing, not a number, out of range, columns beyond the defaults') is ignored.
WindowLayout ReadWindowLayout(const ProfileStore& store, const WindowLayout& defaults);
// Throws the store's error when it cannot write.
void WriteWindowLayout(const WindowLayout& layout, ProfileStore& store);

}  // namespace brantel
