#pragma once

#include <QScrollBar>
#include <functional>
#include <vector>

namespace brantel {

// The log's scroll bar. A log that grows with every read changes the bar's range each time, yet
// once the slider has shrunk to its least length and sits at the end, the bar looks the same; it
// repaints only when its look changed, since repainting a tall bar costs more than the new rows.
class SteadyScrollBar : public QScrollBar {
  public:
    explicit SteadyScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr);
    // Runs changes of range, page and value as one, so a look passed through on the way (the
    // range grown before the value follows it) is never painted.
    void AdjustAtOnce(const std::function<void()>& adjust);

  protected:
    void sliderChange(SliderChange change) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    std::vector<int> Look() const;

    std::vector<int> shownLook_;
    bool adjusting_ = false;
};

}  // namespace brantel
