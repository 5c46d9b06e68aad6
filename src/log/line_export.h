#pragma once

#include <QString>
#include <cstddef>
#include <functional>
#include <optional>

#include "log/line_store.h"

namespace brantel {

enum class LineFormat { kText, kHtml };

// What a plain-text save puts before a line, as its colour said: "> " sent, "< " received,
// "// " an annotation (none when it starts with "//" already), "-- " the port's and others.
QString LineMarker(Colour colour, const QString& text);

// The path with the first extension of a file dialog's filter ("Text files (*.txt)") unless
// it ends in one of the filter's extensions already.
QString WithFilterExtension(const QString& path, const QString& filter);

// Writes the lines as the log shows them (time stamps first when `timeStamps`), as plain text
// with each line's marker or as HTML keeping each line's colour, through a temporary file that
// replaces `path` only once it is whole. `step` is told how many lines are done every so often and
// stops the write by returning false, which leaves `path` as it was. The reason, when the write
// failed.
std::optional<QString> SaveLines(const LineStore& lines, const QString& path, LineFormat format,
                                 bool timeStamps, const std::function<bool(std::size_t)>& step);

}  // namespace brantel
