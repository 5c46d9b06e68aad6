#pragma once

#include <QString>
#include <cstddef>
#include <functional>
#include <optional>

#include "log/line_store.h"

namespace brantel {

enum class LineFormat { kText, kHtml };

// Writes the lines as the log shows them (time stamps first when `timeStamps`), as plain text
// or as HTML keeping each line's colour, through a temporary file that replaces `path` only
// once it is whole. `step` is told how many lines are done every so often and stops the write
// by returning false, which leaves `path` as it was. The reason, when the write failed.
std::optional<QString> SaveLines(const LineStore& lines, const QString& path, LineFormat format,
                                 bool timeStamps, const std::function<bool(std::size_t)>& step);

}  // namespace brantel
