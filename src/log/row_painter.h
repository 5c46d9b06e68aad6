#pragma once

#include <QFont>
#include <QRawFont>
#include <QStringView>
#include <array>

class QPainter;
class QPointF;

namespace brantel {

// Draws the log's rows. Rows of printable ASCII (every hex line, most text lines) are drawn as
// glyph runs from the font's own glyph table, skipping the text shaping that costs more than the
// drawing itself when a device sends all day; any other row is drawn as text. Both look alike to
// the pixel.
class RowPainter {
  public:
    explicit RowPainter(const QFont& font);
    const QFont& Font() const { return font_; }
    // Draws `text` in the painter's pen with its baseline starting at `origin`.
    void Draw(QPainter& painter, const QPointF& origin, QStringView text) const;

  private:
    static constexpr char16_t kFirst = 0x20;
    static constexpr char16_t kEnd = 0x7F;

    QFont font_;
    QRawFont raw_;
    // Glyph and advance of each printable ASCII character; glyph 0 when the font lacks it.
    std::array<quint32, kEnd - kFirst> glyphs_{};
    std::array<qreal, kEnd - kFirst> advances_{};
};

}  // namespace brantel
