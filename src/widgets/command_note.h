#pragma once

#include <QColor>
#include <QString>
#include <functional>

class QPainter;
class QRect;

namespace brantel {

// What the command grid shows over a row's Command cell: a tooltip, and a wavy line under the
// text when the template has a warning or cannot be built.
struct CommandNote {
    enum class Mark { None, Warning, Error };
    Mark mark = Mark::None;
    QString toolTip;
};

// The note of a command row (1 to 29), made from the row's cells as they are now; the tooltip
// only when asked for, since drawing a mark needs none.
using CommandNotes = std::function<CommandNote(int row, bool withToolTip)>;

QColor MarkColour(CommandNote::Mark mark);

// Draws the mark under the first `textWidth` pixels of text that starts at `textLeft` in `area`,
// and never outside `area`.
void DrawMark(QPainter& painter, const QRect& area, int textLeft, int textWidth,
              CommandNote::Mark mark);

}  // namespace brantel
