#pragma once

#include <QMainWindow>
#include <QTimer>
#include <memory>
#include <string>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSplitter;
class QStatusBar;
class QTabWidget;
class QChartView;
class QLineSeries;

namespace brantel {

class CommandGrid;
class PortNumberEdit;
class ProgramState;
class TrafficLog;
class WindowOptions;

// The main window `Form1`: every control, every event handler, start-up and shut-down.
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

    void LogLine(const std::string& text, std::uint32_t colour);
    void LogHex(const std::string& data, std::uint32_t colour);
    // Builds the template's frame from the address, the named parameters and the current row,
    // and hands it to the raw writer.
    void BuildAndSend(const std::string& frameTemplate);

    // Saves the options and the command table when the session ends (log-off, shut-down).
    void SaveAtSessionEnd();

    QStatusBar* StatusBar1;
    QWidget* Panel1;
    QLabel* Label4;
    QLabel* Label1;
    QPushButton* Button3;
    QPushButton* Button4;
    QLineEdit* Edit1;
    QLineEdit* Edit2;
    QPushButton* Button5;
    QPushButton* Button6;
    PortNumberEdit* PortNumber;
    QComboBox* PortSpeed;
    QTimer* Timer1;
    QAction* N1;
    QAction* N2;
    QPushButton* SendCmdBtn;
    QLabel* Label2;
    QLineEdit* AddressEdit;
    QLabel* Label3;
    QLineEdit* Parameters;
    QTabWidget* PageControl1;
    QWidget* TabSheet1;
    QWidget* TabSheet2;
    QSplitter* Splitter1;
    CommandGrid* CmdGrid;
    TrafficLog* SerialMemo;
    QChartView* Chart1;
    QLineSeries* Series1;
    QLineSeries* Series2;
    QLineSeries* Series3;
    QLineSeries* Series4;
    QLabel* StatusPanel;
    std::unique_ptr<WindowOptions> FormStorage1;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void CreatePanel();
    void CreatePages();
    void CreateMenu();
    void CreateChart();
    void ConnectHandlers();

    ProgramState& state_;
};

}  // namespace brantel
