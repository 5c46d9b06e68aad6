#pragma once

#include <QMainWindow>
#include <QMetaType>
#include <QPointer>
#include <memory>
#include <string>
#include <vector>

#include "app/request_answering.h"
#include "frames/expected_response.h"
#include "options/chart_options.h"
#include "options/window_layout.h"
#include "text/colours.h"
#include "widgets/series_dialog.h"

class QLabel;
class QTimer;

namespace Ui {
class TForm1;
}

namespace brantel {

class PollDialog;
class PollSchedule;
class ChartFeed;
class ChartMenu;
class IniLock;
class ProfileStore;
class ReopenWatch;
struct JudgedAnswer;
struct PollPlan;

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
    void ReadArrived();
    void PortNumberChange();
    void N1Click();
    // "Ports...": the mapping of COM1 to COM4; the open port is opened again when its mapping
    // changed.
    void PortsClick();
    void CmdGridDblClick();
    void SendCmdBtnClick();
    void ParametersChange();
    // "Poll...": the dialog that starts and stops sending rows in turn.
    void PollClick();

    void LogLine(const std::string& text, Colour colour);
    // What "Send Cmd" does on `row` (1 to 29), the grid's cursor left where it is: the open
    // watch judged, the annotation, the frame, and the watch of its answer. A row the poll
    // sends (`polled`) has its answer watched whether or not the checks are on.
    void SendRow(int row, bool polled = false);
    // Builds the template's frame from the address, the named parameters and the row, and
    // hands it to the raw writer.
    void BuildAndSend(const std::string& frameTemplate, int row);

    // Starts polling with the plan, the port held; a poll under way is stopped first.
    void StartPoll(const PollPlan& plan);
    // Stops the poll under way with the log line "// Poll stopped: <why>"; nothing when none.
    void StopPoll(const std::string& why);
    bool Polling() const;

    // Hands the bytes to the raw writer; when they did not all go out (the port closed, or
    // lost on the way) says so below the red line, with a beep.
    void SendBytes(const std::string& bytes);

    // Saves the options and the command table when the session ends (log-off, shut-down).
    void SaveAtSessionEnd();
    // Whether the command table is never saved: another window keeps the INI file's table, and
    // the user chose not to overwrite it.
    bool TableReadOnly() const { return tableReadOnly_; }

    // The text of the status bar's panel 0.
    QString StatusText() const;
    // The status bar's poll panel, shown only while a poll runs: what is being polled.
    QString PollStatus() const;
    // Its tooltip: the device the port number maps to and, after a failed open, why it failed.
    // Made when shown, as it looks for the devices present.
    QString StatusTip() const;

    // The chart of the "Графики" page, whose AddValues takes the fields of matched answers.
    ChartFeed* Charts() const { return charts_; }

  signals:
    // A matched answer carried the values of its Response cell's fields, in the cell's order;
    // `row` is the row it answers (1 to 29). Sent whether or not "Show Fields" is on.
    void FieldsRead(int row, std::vector<brantel::ReadValue> values);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void SetUpPanel();
    void SetUpPages();
    void SetUpChart();
    // Locks the INI file for this window; when another window holds it, asks whether this one
    // saves its table at all.
    void LockIni();
    // Writes the command table to section "Main", unless it is read-only.
    void SaveTable();
    // The command table's rows with the fields their Response cells read.
    std::vector<RowFields> RowsWithFields() const;
    // Writes section "Charts" of the INI file.
    void SaveChartOptions();
    // The grid's height and column widths as the user left them, and the way back to them.
    WindowLayout CurrentLayout() const;
    void ApplyLayout(const WindowLayout& layout);
    // Writes sections "Charts" and "Layout", each only when it changed since it was last read
    // or written, so a file gains neither until the user changes something.
    void SaveChartsAndLayout();
    void ConnectHandlers();
    // The device port `number` opens, as section "Ports" maps it.
    std::string DeviceOf(int number) const;
    // After a device vanished: open its port again once it is back, unless the user closed it or
    // chose another number meanwhile.
    void AwaitReturn();
    // "Answer Requests": the table as the window shows it, the start from [Answers], and the
    // answers to a tick's bytes (none: the line went quiet), each after its annotation.
    RequestAnswering::Table AnsweringTable() const;
    void StartAnswering(const ProfileStore& store);
    void AnswerRequests(const std::string& received);
    // Gives a read's bytes to the check of the last command's answer; logs its verdict.
    void WatchResponse(const std::string& received);
    // Starts watching the answer to `row`'s command when anyone wants it judged.
    void WatchAnswer(int row, bool polled);
    // An answer complete: its verdict (checks on), its fields (Show Fields on) and FieldsRead.
    void Judged(const JudgedAnswer& judged);
    // The poll the port's opening starts, when the stored settings ask for one.
    void StartPollOnOpen();
    // "Start" in the Poll dialog: stores its settings and starts, or says why it cannot.
    void StartPollFromDialog();
    void StorePollSettings();
    void ShowPollState(const QString& text = {});

    ProgramState& state_;
    std::unique_ptr<Ui::TForm1> ui_;
    QLabel* statusPanel_;
    QLabel* pollPanel_;
    QTimer* Timer1;
    ReopenWatch* reopenWatch_;
    RequestAnswering answering_;
    PollSchedule* poll_;
    QPointer<PollDialog> pollDialog_;
    ChartFeed* charts_;
    ChartMenu* chartMenu_;
    // What section "Charts" holds, as last read or written.
    ChartOptions storedCharts_;
    // What section "Layout" holds, as last read or written.
    WindowLayout storedLayout_;
    std::unique_ptr<WindowOptions> FormStorage1;
    std::unique_ptr<IniLock> iniLock_;
    bool tableReadOnly_ = false;
};

}  // namespace brantel

Q_DECLARE_METATYPE(brantel::ReadValue)
Q_DECLARE_METATYPE(std::vector<brantel::ReadValue>)
