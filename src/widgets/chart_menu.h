#pragma once

#include <QObject>
#include <functional>
#include <vector>

#include "widgets/series_dialog.h"

class QAction;
class QMenu;

namespace brantel {

class ChartFeed;

// The chart's context menu: "Series...", "Pause" or "Resume", "Clear", "Follow" and
// "Whole run", "Save Data As..." and "Save Picture As...".
class ChartMenu : public QObject {
    Q_OBJECT
  public:
    // The rows the "Series..." dialog offers, read from the command table when it opens.
    using RowLister = std::function<std::vector<RowFields>()>;

    ChartMenu(ChartFeed& feed, RowLister rows);

    QMenu& Menu() const { return *menu_; }
    // "Series...": a new binding is applied and announced by OptionsChanged.
    void EditSeries();

  signals:
    // The bindings or the follow time were changed in the "Series..." dialog.
    void OptionsChanged();
    // A picture or the values could not be saved; the message says why.
    void Failed(const QString& message);

  private:
    // The items' checks and texts as the chart is now.
    void Update();
    void SaveDataAs();
    void SavePictureAs();

    ChartFeed& feed_;
    RowLister rows_;
    QMenu* menu_;
    QAction* pause_;
    QAction* follow_;
    QAction* wholeRun_;
};

}  // namespace brantel
