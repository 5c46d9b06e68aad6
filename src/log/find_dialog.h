#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace brantel {

class TrafficLog;

// Find in the traffic log: text as shown, or hex bytes; next and previous, around the ends.
class FindDialog : public QDialog {
    Q_OBJECT
  public:
    explicit FindDialog(TrafficLog* log);

    // Shows the dialog with `text` to look for when it is not empty.
    void Open(const QString& text);
    // Looks for the next (or previous) match of what the dialog holds.
    void FindAgain(bool forward);

  private:
    TrafficLog* log_;
    QLineEdit* text_;
    QCheckBox* hex_;
    QLabel* status_;
};

}  // namespace brantel
