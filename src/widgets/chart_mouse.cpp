#include "widgets/chart_mouse.h"

#include <QChart>
#include <QChartView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <cmath>

#include "widgets/chart_feed.h"

namespace brantel {
namespace {

// A wheel's notch narrows the view by this factor; the other way widens it as much.
constexpr double kZoomPerNotch = 0.8;
constexpr double kNotch = 120;

}  // namespace

ChartMouse::ChartMouse(ChartFeed& feed) : QObject(&feed), feed_(feed) {
    feed.View().viewport()->installEventFilter(this);
    feed.View().installEventFilter(this);
}

double ChartMouse::TimeAt(QPoint at) const {
    return feed_.View().chart()->mapToValue(feed_.View().mapToScene(at)).x();
}

double ChartMouse::SecondsPerPixel() const {
    const std::optional<TimeRange> shown = feed_.Shown();
    const double width = feed_.View().chart()->plotArea().width();
    return shown && width > 0 ? shown->Width() / width : 0;
}

bool ChartMouse::eventFilter(QObject* watched, QEvent* event) {
    QChartView& view = feed_.View();
    if (watched == &view) {
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Home) {
            feed_.ResetView();
            return true;
        }
        return false;
    }
    switch (event->type()) {
        case QEvent::Wheel: {
            const auto* wheel = static_cast<QWheelEvent*>(event);
            const double notches = wheel->angleDelta().y() / kNotch;
            feed_.Zoom(std::pow(kZoomPerNotch, notches), TimeAt(wheel->position().toPoint()));
            return true;
        }
        case QEvent::MouseButtonPress: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const QPointF scene = view.mapToScene(mouse->position().toPoint());
            dragging_ = mouse->button() == Qt::LeftButton &&
                        view.chart()->plotArea().contains(view.chart()->mapFromScene(scene));
            dragFrom_ = mouse->position().toPoint();
            return false;
        }
        case QEvent::MouseMove: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (dragging_ && (mouse->buttons() & Qt::LeftButton)) {
                const QPoint at = mouse->position().toPoint();
                // The values follow the pointer: a drag to the right shows earlier times.
                feed_.Pan((dragFrom_.x() - at.x()) * SecondsPerPixel());
                dragFrom_ = at;
                return true;
            }
            return false;
        }
        case QEvent::MouseButtonRelease:
            dragging_ = false;
            return false;
        case QEvent::MouseButtonDblClick:
            feed_.ResetView();
            return true;
        default:
            return false;
    }
}

}  // namespace brantel
