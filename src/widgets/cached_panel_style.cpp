#include "widgets/cached_panel_style.h"

#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <QStyleOption>

namespace brantel {
namespace {

// Everything the frame's look depends on.
QString PanelKey(const QStyleOption& option, qreal ratio) {
    const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(&option);
    return QStringLiteral("brantel-panel-%1x%2@%3-%4-%5-%6-%7")
        .arg(option.rect.width())
        .arg(option.rect.height())
        .arg(ratio)
        .arg(static_cast<int>(option.state))
        .arg(frame != nullptr ? frame->lineWidth : -1)
        .arg(option.palette.cacheKey())
        .arg(static_cast<int>(option.direction));
}

}  // namespace

CachedPanelStyle::CachedPanelStyle() : QProxyStyle() {}

void CachedPanelStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                     QPainter* painter, const QWidget* widget) const {
    if (element != PE_PanelLineEdit || option->rect.isEmpty()) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    const qreal ratio = painter->device()->devicePixelRatio();
    const QString key = PanelKey(*option, ratio);
    QPixmap panel;
    if (!QPixmapCache::find(key, &panel)) {
        panel = QPixmap(option->rect.size() * ratio);
        panel.setDevicePixelRatio(ratio);
        panel.fill(Qt::transparent);
        QPainter onPanel(&panel);
        QStyleOptionFrame atOrigin;
        if (const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option)) {
            atOrigin = *frame;
        } else {
            static_cast<QStyleOption&>(atOrigin) = *option;
        }
        atOrigin.rect.moveTo(0, 0);
        QProxyStyle::drawPrimitive(element, &atOrigin, &onPanel, widget);
        onPanel.end();
        QPixmapCache::insert(key, panel);
    }
    painter->drawPixmap(option->rect.topLeft(), panel);
}

}  // namespace brantel
