#include "widgets/chart_menu.h"

#include <QActionGroup>
#include <QChartView>
#include <QFileDialog>
#include <QMenu>

#include "widgets/chart_feed.h"

namespace brantel {

ChartMenu::ChartMenu(ChartFeed& feed, RowLister rows)
    : QObject(&feed), feed_(feed), rows_(std::move(rows)), menu_(new QMenu(&feed.View())) {
    menu_->setObjectName("ChartMenu");
    menu_->addAction("Series...", this, &ChartMenu::EditSeries);
    pause_ = menu_->addAction("Pause", this, [this] { feed_.SetPaused(!feed_.Paused()); });
    menu_->addAction("Clear", &feed_, &ChartFeed::Clear);
    menu_->addSeparator();
    auto* modes = new QActionGroup(menu_);
    follow_ = menu_->addAction("Follow", this, [this] { feed_.SetMode(ViewMode::kFollow); });
    wholeRun_ = menu_->addAction("Whole run", this, [this] { feed_.SetMode(ViewMode::kWholeRun); });
    for (QAction* mode : {follow_, wholeRun_}) {
        mode->setCheckable(true);
        modes->addAction(mode);
    }
    menu_->addSeparator();
    menu_->addAction("Save Data As...", this, &ChartMenu::SaveDataAs);
    menu_->addAction("Save Picture As...", this, &ChartMenu::SavePictureAs);
    connect(menu_, &QMenu::aboutToShow, this, &ChartMenu::Update);
    Update();
    QChartView& view = feed.View();
    view.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&view, &QWidget::customContextMenuRequested, this,
            [this, &view](const QPoint& at) { menu_->popup(view.mapToGlobal(at)); });
}

void ChartMenu::Update() {
    pause_->setText(feed_.Paused() ? "Resume" : "Pause");
    const bool follow = feed_.Options().mode == ViewMode::kFollow;
    follow_->setChecked(follow);
    wholeRun_->setChecked(!follow);
}

void ChartMenu::EditSeries() {
    SeriesDialog dialog(feed_.Options(), rows_(), &feed_.View());
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    feed_.SetOptions(dialog.Options());
    emit OptionsChanged();
}

void ChartMenu::SaveDataAs() {
    const QString path =
        QFileDialog::getSaveFileName(&feed_.View(), "Save Data As", QString(), "CSV files (*.csv)");
    if (path.isEmpty()) {
        return;
    }
    if (const std::optional<QString> failure = feed_.SaveData(path)) {
        emit Failed(*failure);
    }
}

void ChartMenu::SavePictureAs() {
    const QString path = QFileDialog::getSaveFileName(&feed_.View(), "Save Picture As", QString(),
                                                      "PNG pictures (*.png)");
    if (path.isEmpty()) {
        return;
    }
    if (const std::optional<QString> failure = feed_.SavePicture(path)) {
        emit Failed(*failure);
    }
}

}  // namespace brantel
