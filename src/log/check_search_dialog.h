#pragma once

#include <QDialog>
#include <string>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace brantel {

// "Find Check" for one frame of the traffic log: every check under which the frame's last bytes
// are its check, best guess first, each as the token to write in a template and its parameters,
// as `brantel-frame --find-check` lists them. "Copy Token" puts the selected token on the
// clipboard.
class CheckSearchDialog : public QDialog {
    Q_OBJECT
  public:
    explicit CheckSearchDialog(QWidget* parent);

    // Looks for the checks of the frame's bytes and shows what it found.
    void Open(const std::string& frame);

  private:
    void CopyToken();

    QLabel* frame_;
    QTreeWidget* found_;
    QLabel* verdict_;
    QLabel* status_;
    QPushButton* copy_;
    QPushButton* close_;
};

}  // namespace brantel
