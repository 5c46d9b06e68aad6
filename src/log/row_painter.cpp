#include "log/row_painter.h"

#include <QGlyphRun>
#include <QPainter>

namespace brantel {

RowPainter::RowPainter(const QFont& font) : font_(font), raw_(QRawFont::fromFont(font)) {
    if (!raw_.isValid()) {
        return;
    }
    QString ascii;
    for (char16_t c = kFirst; c < kEnd; ++c) {
        ascii += QChar(c);
    }
    const QList<quint32> glyphs = raw_.glyphIndexesForString(ascii);
    if (glyphs.size() != ascii.size()) {
        return;
    }
    const QList<QPointF> advances = raw_.advancesForGlyphIndexes(glyphs);
    for (qsizetype i = 0; i < glyphs.size(); ++i) {
        glyphs_[static_cast<std::size_t>(i)] = glyphs[i];
        advances_[static_cast<std::size_t>(i)] = advances[i].x();
    }
}

void RowPainter::Draw(QPainter& painter, const QPointF& origin, QStringView text) const {
    QList<quint32> glyphs;
    QList<QPointF> positions;
    glyphs.reserve(text.size());
    positions.reserve(text.size());
    qreal x = 0;
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        const quint32 glyph = code >= kFirst && code < kEnd ? glyphs_[code - kFirst] : 0;
        if (glyph == 0) {
            painter.setFont(font_);
            painter.drawText(origin, text.toString());
            return;
        }
        glyphs.push_back(glyph);
        positions.push_back(QPointF(x, 0));
        x += advances_[code - kFirst];
    }
    QGlyphRun run;
    run.setRawFont(raw_);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    painter.drawGlyphRun(origin, run);
}

}  // namespace brantel
