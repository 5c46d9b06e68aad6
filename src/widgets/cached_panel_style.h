#pragma once

#include <QProxyStyle>

namespace brantel {

// The window's style with the frames of line edits drawn once per size and look and then copied:
// the receive box is set anew with every read, and drawing its rounded, antialiased frame again
// each time costs more than the text it frames.
class CachedPanelStyle : public QProxyStyle {
  public:
    CachedPanelStyle();
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;
};

}  // namespace brantel
