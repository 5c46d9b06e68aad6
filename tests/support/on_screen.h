#pragma once

#include <QColor>
#include <QCoreApplication>
#include <QImage>
#include <QRect>
#include <QScreen>
#include <QTest>
#include <QToolTip>
#include <QWidget>

namespace brantel::test {

// A rectangle of `widget` as its window shows it on the screen, once what is due is drawn: what
// the user sees, not a fresh rendering.
inline QImage OnScreen(const QWidget& widget, const QRect& area) {
    QCoreApplication::processEvents();
    QTest::qWait(20);
    const QWidget& window = *widget.window();
    const QPoint at = widget.mapTo(&window, area.topLeft());
    return window.screen()
        ->grabWindow(window.winId(), at.x(), at.y(), area.width(), area.height())
        .toImage();
}

inline int PixelsOf(const QImage& image, const QColor& colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += image.pixelColor(x, y) == colour;
        }
    }
    return count;
}

// What hovering `widget` at `at` does: the toolkit's tooltip request.
inline void Hover(QWidget& widget, const QPoint& at) {
    QHelpEvent event(QEvent::ToolTip, at, widget.mapToGlobal(at));
    QCoreApplication::sendEvent(&widget, &event);
}

}  // namespace brantel::test
