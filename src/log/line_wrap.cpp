#include "log/line_wrap.h"

#include <algorithm>

namespace brantel {

QVector<WrappedRow> WrapRows(const QString& text, int columns) {
    columns = std::max(columns, 1);
    QVector<WrappedRow> rows;
    const int size = static_cast<int>(text.size());
    int start = 0;
    do {
        int end = std::min(start + columns, size);
        if (end < size) {
            // Break after the last blank that fits, unless the row ends just before a blank;
            // with no blank at all, a word longer than the row breaks anywhere.
            const int blank = static_cast<int>(text.lastIndexOf(QLatin1Char(' '), end));
            if (blank >= start && blank < end) {
                end = blank + 1;
            }
            while (end < size && text[end] == QLatin1Char(' ')) {
                ++end;
            }
        }
        rows.push_back({start, end - start});
        start = end;
    } while (start < size);
    return rows;
}

}  // namespace brantel
