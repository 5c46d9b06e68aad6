#include "log/steady_scroll_bar.h"

#include <QStyleOptionSlider>

namespace brantel {

SteadyScrollBar::SteadyScrollBar(Qt::Orientation orientation, QWidget* parent)
    : QScrollBar(orientation, parent) {}

void SteadyScrollBar::AdjustAtOnce(const std::function<void()>& adjust) {
    adjusting_ = true;
    adjust();
    adjusting_ = false;
    if (Look() != shownLook_) {
        update();
    }
}

void SteadyScrollBar::sliderChange(SliderChange change) {
    if (!adjusting_ && Look() != shownLook_) {
        QScrollBar::sliderChange(change);
    }
}

void SteadyScrollBar::paintEvent(QPaintEvent* event) {
    shownLook_ = Look();
    QScrollBar::paintEvent(event);
}

// What a style draws a scroll bar from, with the range and value as the places of its parts and
// whether the value is at either end (where arrows may look disabled), not as numbers.
std::vector<int> SteadyScrollBar::Look() const {
    QStyleOptionSlider option;
    initStyleOption(&option);
    std::vector<int> look{
        static_cast<int>(option.state), static_cast<int>(option.activeSubControls),
        option.sliderPosition == option.minimum, option.sliderPosition == option.maximum,
        option.minimum == option.maximum};
    for (const QStyle::SubControl part :
         {QStyle::SC_ScrollBarAddLine, QStyle::SC_ScrollBarSubLine, QStyle::SC_ScrollBarAddPage,
          QStyle::SC_ScrollBarSubPage, QStyle::SC_ScrollBarFirst, QStyle::SC_ScrollBarLast,
          QStyle::SC_ScrollBarSlider, QStyle::SC_ScrollBarGroove}) {
        const QRect rect = style()->subControlRect(QStyle::CC_ScrollBar, &option, part, this);
        look.insert(look.end(), {rect.x(), rect.y(), rect.width(), rect.height()});
    }
    return look;
}

}  // namespace brantel
