#pragma once

#include <QMainWindow>
#include <memory>
#include <string>
#include <vector>

#include "options/chart_options.h"
#include "text/colours.h"
#include "widgets/series_dialog.h"

class QLabel;
class QTimer;

namespace Ui {
class TForm1;
}

namespace brantel {

class ChartFeed;
class ChartMenu;
class ReopenWatch;

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
    // "Ports...": the mapping of COM1 to COM4; the open port is opened again when its mapping
    // changed.
    void PortsClick();
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
    // Its tooltip: the device the port number maps to and, after a failed open, why it failed.
    // Made when shown, as it looks for the devices present.
    QString StatusTip() const;

    // The chart of the "Графики" page, whose AddValues takes the fields of matched answers.
    ChartFeed* Charts() const { return charts_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void SetUpPanel();
    void SetUpPages();
    void SetUpChart();
    // The command table's rows with the fields their Response cells read.
    std::vector<RowFields> RowsWithFields() const;
    // Writes section "Charts" of the INI file.
    void SaveChartOptions();
    void ConnectHandlers();
    // The device port `number` opens, as section "Ports" maps it.
    std::string DeviceOf(int number) const;
    // After a device vanished: open its port again once it is back, unless the user closed it or
    // chose another number meanwhile.
    void AwaitReturn();
    // Gives a read's bytes to the check of the last command's answer; logs its verdict.
    void WatchResponse(const std::string& received);

    ProgramState& state_;
    std::unique_ptr<Ui::TForm1> ui_;
    QLabel* statusPanel_;
    QTimer* Timer1;
    ReopenWatch* reopenWatch_;
    ChartFeed* charts_;
    ChartMenu* chartMenu_;
    // What section "Charts" holds, as last read or written.
    ChartOptions storedCharts_;
    std::unique_ptr<WindowOptions> FormStorage1;
};

}  // namespace brantel
