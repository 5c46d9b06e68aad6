#include "widgets/port_number_edit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPolygon>
#include <charconv>

namespace brantel {

PortNumberEdit::PortNumberEdit(QWidget* parent) : QLineEdit(parent), spin_(new SpinButton(this)) {
    setText("0");
}

int PortNumberEdit::Value() const {
    const QByteArray text = this->text().toLatin1();
    const char* first = text.constData();
    const char* last = first + text.size();
    if (first != last && *first == '+') {
        ++first;
    }
    int value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last) {
        return 0;
    }
    return value;
}

void PortNumberEdit::SetValue(int value) {
    setText(QString::number(value));
}

void PortNumberEdit::Step(int delta) {
    const long long next = static_cast<long long>(Value()) + delta;
    if (next < std::numeric_limits<int>::min() || next > std::numeric_limits<int>::max()) {
        return;
    }
    SetValue(static_cast<int>(next));
}

void PortNumberEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
        Step(event->key() == Qt::Key_Up ? 1 : -1);
        return;
    }
    const QString text = event->text();
    const bool printable = text.size() == 1 && text.at(0).isPrint();
    const bool shortcut = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier);
    if (printable && !shortcut && !QString("0123456789+-").contains(text.at(0))) {
        QApplication::beep();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void PortNumberEdit::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    const int side = height();
    spin_->setGeometry(width() - side, 0, side, side);
    setTextMargins(0, 0, side, 0);
}

SpinButton::SpinButton(PortNumberEdit* box) : QWidget(box), box_(box) {
    setCursor(Qt::ArrowCursor);
    connect(&repeat_, &QTimer::timeout, this, [this] {
        repeat_.setInterval(kRepeatMs);
        box_->Step(direction_);
    });
}

int SpinButton::DirectionAt(QPoint point, int side) {
    // The diagonal runs from (0, side) to (side, 0): above it x + y < side.
    return point.x() + point.y() < side ? 1 : -1;
}

void SpinButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int s = width();
    const QColor face = palette().color(QPalette::Button);
    painter.fillRect(rect(), face);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(0, 0, s - 1, s - 1);
    painter.drawLine(0, s - 1, s - 1, 0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette().color(QPalette::ButtonText));
    const int a = s / 4;
    // Up arrow in the upper-left half, down arrow in the lower-right half.
    painter.drawPolygon(
        QPolygon({QPoint(a / 2, a + a / 2), QPoint(a + a / 2, a + a / 2), QPoint(a, a / 2)}));
    painter.drawPolygon(QPolygon({QPoint(s - a - a / 2, s - a - a / 2),
                                  QPoint(s - a / 2, s - a - a / 2), QPoint(s - a, s - a / 2)}));
}

void SpinButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    box_->setFocus(Qt::MouseFocusReason);
    direction_ = DirectionAt(event->position().toPoint(), width());
    grabMouse();
    repeat_.start(kFirstDelayMs);
    box_->Step(direction_);
}

void SpinButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        StopRepeat();
    }
}

bool SpinButton::event(QEvent* event) {
    // The error dispatch lets go of a held button before it reports a failure.
    if (event->type() == QEvent::UngrabMouse) {
        StopRepeat();
    }
    return QWidget::event(event);
}

void SpinButton::StopRepeat() {
    repeat_.stop();
    if (QWidget::mouseGrabber() == this) {
        releaseMouse();
    }
}

}  // namespace brantel
