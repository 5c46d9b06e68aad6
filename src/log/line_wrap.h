#pragma once

#include <QString>
#include <QVector>

namespace brantel {

// One screen row of a wrapped line: where it starts in the line's text and how many characters
// it holds (blanks that hang past the width included).
struct WrappedRow {
    int start = 0;
    int length = 0;
};

// Breaks a line into rows of at most `columns` characters, after the last blank that fits
// (blanks after it hang on the row), or anywhere in a word longer than a row. An empty line
// is one empty row.
QVector<WrappedRow> WrapRows(const QString& text, int columns);

}  // namespace brantel
