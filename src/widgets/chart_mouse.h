#pragma once

#include <QObject>
#include <QPoint>

namespace brantel {

class ChartFeed;

// The mouse and keys on the chart: the wheel zooms the time axis about the pointer, dragging
// with the left button pans it, a double-click or Home goes back to the mode's view.
class ChartMouse : public QObject {
    Q_OBJECT
  public:
    explicit ChartMouse(ChartFeed& feed);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The time at a point of the view; the plot's seconds per pixel.
    double TimeAt(QPoint at) const;
    double SecondsPerPixel() const;

    ChartFeed& feed_;
    bool dragging_ = false;
    QPoint dragFrom_;
};

}  // namespace brantel
