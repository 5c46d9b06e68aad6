#pragma once

#include <QDialog>

#include "commands/poll_plan.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace brantel {

// "Poll...": which rows to send in turn, how often, and whether to wait for each answer; Start
// and Stop. It edits the settings only; the window runs the poll and says how it goes.
class PollDialog : public QDialog {
    Q_OBJECT
  public:
    explicit PollDialog(QWidget* parent = nullptr);

    PollSettings Settings() const;
    void SetSettings(const PollSettings& settings);
    // Shows whether a poll runs (Stop enabled only then) and what the window says about it: the
    // poll under way, why it stopped, or why the settings cannot start one (`problem`, in red).
    void ShowState(bool running, const QString& text, bool problem = false);

  signals:
    void StartPressed();
    void StopPressed();

  private:
    QLineEdit* rows_;
    QSpinBox* interval_;
    QCheckBox* wait_;
    QCheckBox* startWhenOpen_;
    QLabel* state_;
    QPushButton* start_;
    QPushButton* stop_;
};

}  // namespace brantel
