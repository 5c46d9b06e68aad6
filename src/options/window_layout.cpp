#include "options/window_layout.h"

#include <algorithm>
#include <limits>

#include "platform/profile_store.h"
#include "text/integers.h"

namespace brantel {
namespace {

constexpr char kSplitterKey[] = "Splitter";
constexpr char kColumnsKey[] = "Columns";
constexpr int kNotANumber = std::numeric_limits<int>::min();

std::string_view WithoutBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string_view::npos
               ? std::string_view()
               : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The comma-separated parts of a value, empty ones kept so that every width keeps its column.
std::vector<std::string_view> Parts(std::string_view value) {
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t comma = value.find(',', start);
        parts.push_back(WithoutBlanks(value.substr(start, comma - start)));
        if (comma == std::string_view::npos) {
            return parts;
        }
        start = comma + 1;
    }
}

}  // namespace

WindowLayout ReadWindowLayout(const ProfileStore& store, const WindowLayout& defaults) {
    WindowLayout layout = defaults;
    const int height =
        ParseIntegerOr(store.ReadString(kLayoutSection, kSplitterKey, ""), kNotANumber);
    if (height >= 0 && height <= kTallestGrid) {
        layout.gridHeight = height;
    }
    const std::string columns = store.ReadString(kLayoutSection, kColumnsKey, "");
    if (columns.empty()) {
        return layout;
    }
    const std::vector<std::string_view> widths = Parts(columns);
    for (std::size_t column = 0; column < std::min(widths.size(), layout.columns.size());
         ++column) {
        const int width = ParseIntegerOr(widths[column], kNotANumber);
        if (width != kNotANumber) {
            layout.columns[column] = std::clamp(width, kNarrowestColumn, kWidestColumn);
        }
    }
    return layout;
}

void WriteWindowLayout(const WindowLayout& layout, ProfileStore& store) {
    store.WriteString(kLayoutSection, kSplitterKey, std::to_string(layout.gridHeight));
    std::string columns;
    for (const int width : layout.columns) {
        columns += (columns.empty() ? "" : ",") + std::to_string(width);
    }
    store.WriteString(kLayoutSection, kColumnsKey, columns);
}

}  // namespace brantel
