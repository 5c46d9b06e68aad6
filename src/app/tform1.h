#pragma once

#include <QMainWindow>
#include <memory>
#include <string>

#include "text/colours.h"

class QLabel;
class QTimer;

namespace Ui {
class TForm1;
}

namespace brantel {

class ProgramState;
class WindowOptions;

// The main window `Form1`: every control, every event handler, start-up and shut-down. The
// fixed layout comes from the form tform1.ui; other code finds a control by its object name.
class TForm1 : public QMainWindow {
    Q_OBJECT
  public:
    explicit TForm1(ProgramState& state, QWidget* parent = nullptr);
    ~TForm1() override;

    // Start-up, run once through the event dispatch before the window is shown.
    void FormCreate();
    // Shut-down after the options were saved at the close question.
    void FormClose();

    void Button3Click();
    void Button6Click();
    void Button4Click();
    void Button5Click();
    void Timer1Timer();
    void PortNumberChange();
    void N1Click();
    void CmdGridDblClick();
    void SendCmdBtnClick();
    void ParametersChange();

    void LogLine(const std::string& text, Colour colour);
    // Builds the template's frame from the address, the named parameters and the current row,
    // and hands it to the raw writer.
    void BuildAndSend(const std::string& frameTemplate);

    // Saves the options and the command table when the session ends (log-off, shut-down).
    void SaveAtSessionEnd();

    // The text of the status bar's panel 0.
    QString StatusText() const;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void SetUpPanel();
    void SetUpPages();
    void SetUpChart();
    void ConnectHandlers();
    // Gives a read's bytes to the check of the last command's answer; logs its verdict.
    void WatchResponse(const std::string& received);

    ProgramState& state_;
    std::unique_ptr<Ui::TForm1> ui_;
    QLabel* statusPanel_;
    QTimer* Timer1;
    std::unique_ptr<WindowOptions> FormStorage1;
};

}  // namespace brantel
