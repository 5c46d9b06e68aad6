#include "widgets/command_note.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace brantel {

namespace {

constexpr int kWavePeriod = 4;
constexpr qreal kWaveHeight = 2;
// An empty-looking or one-character template still shows a visible mark.
constexpr int kShortestMark = 2 * kWavePeriod;

}  // namespace

QColor MarkColour(CommandNote::Mark mark) {
    return mark == CommandNote::Mark::Error ? QColor(0xD0, 0x10, 0x10) : QColor(0xE0, 0x8C, 0x00);
}

void DrawMark(QPainter& painter, const QRect& area, int textLeft, int textWidth,
              CommandNote::Mark mark) {
    if (mark == CommandNote::Mark::None) {
        return;
    }
    const qreal left = textLeft;
    const qreal right = std::min<qreal>(area.right(), left + std::max(textWidth, kShortestMark));
    const qreal bottom = area.bottom();
    QPainterPath wave(QPointF(left, bottom));
    for (qreal x = left; x < right; x += kWavePeriod) {
        wave.lineTo(x + kWavePeriod / 2.0, bottom - kWaveHeight);
        wave.lineTo(x + kWavePeriod, bottom);
    }
    painter.save();
    painter.setClipRect(area);
    painter.setPen(QPen(MarkColour(mark), 1));
    painter.drawPath(wave);
    painter.restore();
}

}  // namespace brantel
