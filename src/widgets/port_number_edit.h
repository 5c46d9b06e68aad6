#pragma once

#include <QLineEdit>
#include <QTimer>

namespace brantel {

class SpinButton;

// The port-number box: a numeric edit with a diagonal-split spin button. Its value has no
// bounds; a text that is not an integer reads as 0. Every change of the text emits
// textChanged once, and setting the text it already holds emits nothing.
class PortNumberEdit : public QLineEdit {
    Q_OBJECT
  public:
    explicit PortNumberEdit(QWidget* parent = nullptr);

    // The value read, rounded to a whole number; 0 for a text that is not an integer.
    int Value() const;
    void SetValue(int value);
    // Steps the value by +1 or -1 and writes it back.
    void Step(int delta);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    SpinButton* spin_;
};

// The square at the box's right end, split from its lower-left to its upper-right corner: the
// upper-left half steps up, the lower-right half down. Held, it repeats after 400 ms and then
// every 100 ms.
class SpinButton : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kFirstDelayMs = 400;
    static constexpr int kRepeatMs = 100;

    explicit SpinButton(PortNumberEdit* box);

    // +1 for a point in the upper-left half of a square of the given side, else -1.
    static int DirectionAt(QPoint point, int side);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

  private:
    void StopRepeat();

    PortNumberEdit* box_;
    QTimer repeat_;
    int direction_ = 0;
};

}  // namespace brantel
