#include "app/tform1.h"

#include "ui_tform1.h"

#include <QAction>
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineEdit>
#include <QLineSeries>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <chrono>
#include <limits>
#include <optional>
#include <stdexcept>
#include <utility>

#include "app/application.h"
#include "app/lock_question.h"
#include "app/poll_dialog.h"
#include "app/poll_schedule.h"
#include "app/port_tip.h"
#include "app/ports_dialog.h"
#include "app/program_state.h"
#include "app/request_answering.h"
#include "app/template_note.h"
#include "app/window_options.h"
#include "commands/command_annotation.h"
#include "commands/poll_plan.h"
#include "frames/expected_response.h"
#include "frames/frame_builder.h"
#include "log/traffic_log.h"
#include "options/chart_options.h"
#include "platform/ini_lock.h"
#include "platform/port_names.h"
#include "platform/profile_store.h"
#include "qtbridge/local_text.h"
#include "qtbridge/qt_colour.h"
#include "serial/found_ports.h"
#include "serial/port_texts.h"
#include "serial/reopen_watch.h"
#include "text/integers.h"
#include "version/version.h"
#include "widgets/address_warning.h"
#include "widgets/cached_panel_style.h"
#include "widgets/chart_feed.h"
#include "widgets/chart_menu.h"
#include "widgets/chart_mouse.h"
#include "widgets/command_grid.h"
#include "widgets/port_number_edit.h"

namespace brantel {
namespace {

constexpr int kGridHeight = 245;
constexpr int kPageHeight = 485;

constexpr char kLogSection[] = "Log";
constexpr char kTimeStampsKey[] = "TimeStamps";
constexpr char kFramesByGapKey[] = "FramesByGap";
constexpr char kFrameGapKey[] = "FrameGapMs";
constexpr char kChecksSection[] = "Checks";
constexpr char kResponsesKey[] = "Responses";
constexpr char kFieldsKey[] = "Fields";
constexpr char kAnswerKey[] = "Answer";

QString ClosedStatus() {
    return FromBytes(kClosedStatusText);
}

QFont DesignFont(int pixelSize, bool bold = false) {
    QFont font;
    font.setFamilies({"MS Sans Serif", "Arial", "Liberation Sans", "DejaVu Sans"});
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

// The toolkit's text boxes stop at 32,767 characters: a longer stored value would be cut
// without a word, and the cut text saved in its place.
void TakeAnyLength(QLineEdit* edit) {
    edit->setMaxLength(std::numeric_limits<int>::max());
}

void SetTextColour(QWidget* widget, Colour colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Text, ToQColor(colour));
    widget->setPalette(palette);
    widget->setFont(DesignFont(11, true));
}

// Tightens a label's letters, and then its size, until its caption ends before the box it
// names: the designed font is narrower than the substitutes a desktop may have.
void FitBefore(QLabel* label, const QWidget* box) {
    constexpr int kGap = 2;
    const int room = box->x() - label->x() - kGap;
    QFont font = label->font();
    const auto width = [&] {
        return QFontMetrics(font).horizontalAdvance(label->text().trimmed());
    };
    for (qreal spacing = -0.25; width() > room && spacing >= -1.0; spacing -= 0.25) {
        font.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
    }
    while (width() > room && font.pixelSize() > 8) {
        font.setPixelSize(font.pixelSize() - 1);
    }
    label->setFont(font);
    label->adjustSize();
}

// Reads a row's template inputs from the window at the moment each token needs them.
class WindowFrameInputs : public FrameInputs {
  public:
    WindowFrameInputs(const QLineEdit& address, const CommandGrid& grid,
                      const NamedParamTable& params, int row)
        : address_(address), grid_(grid), params_(params), row_(row) {}
    std::string AddressText() const override { return ToBytes(address_.text()); }
    const NamedParam* LookupNamedParam(std::string_view token) const override {
        return params_.LookupNamedParam(token);
    }
    std::string CurrentRowCell(int column) const override { return grid_.CellText(column, row_); }

  private:
    const QLineEdit& address_;
    const CommandGrid& grid_;
    const NamedParamTable& params_;
    int row_;
};

}  // namespace

TForm1::TForm1(ProgramState& state, QWidget* parent)
    : QMainWindow(parent), state_(state), ui_(std::make_unique<Ui::TForm1>()) {
    // The controls take the window's font as they are made (the grid sizes its own from it).
    setFont(DesignFont(11));
    ui_->setupUi(this);
    setWindowTitle("Brantel v." + FromBytes(kVersion));
    setWindowIcon(QIcon(":/brantel/brantel.png"));
    SetUpPanel();
    SetUpPages();
    statusPanel_ = new QLabel(ui_->StatusBar1);
    statusPanel_->setObjectName("StatusPanel");
    statusPanel_->installEventFilter(this);
    ui_->StatusBar1->addWidget(statusPanel_, 1);
    // Panel 0 keeps its text; what a poll sends shows beside it, and only while it runs.
    pollPanel_ = new QLabel(ui_->StatusBar1);
    pollPanel_->setObjectName("PollPanel");
    ui_->StatusBar1->addPermanentWidget(pollPanel_);
    pollPanel_->hide();
    qRegisterMetaType<std::vector<ReadValue>>("std::vector<brantel::ReadValue>");
    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(100);
    reopenWatch_ = new ReopenWatch([this] { Application::Press(ui_->Button3); }, this);
    poll_ = new PollSchedule(
        [this](int row) {
            try {
                SendRow(row, true);
            } catch (const std::exception& failure) {
                // Stopped before the failure is shown, so its box comes once.
                StopPoll("row " + std::to_string(row) + ": " + failure.what());
                throw;
            }
        },
        [this] { return state_.responseWatch.Awaiting(); }, this);
    poll_->setObjectName("PollSchedule");
    FormStorage1 = std::make_unique<WindowOptions>(*this, *ui_->PortNumber, *ui_->PortSpeed,
                                                   *ui_->AddressEdit, *ui_->Parameters);
    ConnectHandlers();
    resize(783, 567 + menuBar()->sizeHint().height());
    move(184, 99);
    state_.logRoute = [this](const std::string& text, Colour colour) { LogLine(text, colour); };
    state_.hexRoute = [this](const std::string& bytes, Colour colour) {
        if (colour == kReceivedBlue) {
            ui_->SerialMemo->LogReceived(bytes);
        } else {
            ui_->SerialMemo->LogHex(bytes, colour);
        }
    };
    state_.showReceivedRoute = [this](const std::string& text) {
        ui_->Edit1->setText(FromDeviceBytes(text));
    };
    Timer1->start();
}

TForm1::~TForm1() {
    poll_->Stop();
    Application::RunReported([this] { FormStorage1->SaveAtDestruction(); });
    state_.logRoute = [](const std::string&, Colour) {};
    state_.hexRoute = [](const std::string&, Colour) {};
    state_.showReceivedRoute = [](const std::string&) {};
}

void TForm1::SetUpPanel() {
    // The raw-text boxes repaint with every read; their frames are drawn once.
    auto* panelStyle = new CachedPanelStyle;
    panelStyle->setParent(this);
    ui_->Edit1->setStyle(panelStyle);
    ui_->Edit2->setStyle(panelStyle);
    ui_->PortNumber->SetValue(2);
    TakeAnyLength(ui_->PortSpeed->lineEdit());
    ui_->PortSpeed->setEditText("");
    SetTextColour(ui_->Edit1, kReceivedBlue);
    SetTextColour(ui_->Edit2, kSentRed);
    SetTextColour(ui_->AddressEdit, kNavy);
    TakeAnyLength(ui_->AddressEdit);
    WatchAddress(*ui_->AddressEdit);
    SetTextColour(ui_->Parameters, kNavy);
    TakeAnyLength(ui_->Parameters);
    for (const auto& [label, box] : {std::pair<QLabel*, QWidget*>{ui_->Label4, ui_->PortNumber},
                                     {ui_->Label1, ui_->PortSpeed},
                                     {ui_->Label2, ui_->AddressEdit},
                                     {ui_->Label3, ui_->Parameters}}) {
        FitBefore(label, box);
    }
}

void TForm1::SetUpPages() {
    TrafficLog* log = ui_->SerialMemo;
    log->SetReadyCheck([this] { return state_.shell.ready; });
    // The log's own setting has a section of its own in the INI file.
    connect(log, &TrafficLog::TimeStampsToggled, this, [this](bool on) {
        Application::RunReported([this, on] {
            ProfileStore(state_.shell.iniPath)
                .WriteString(kLogSection, kTimeStampsKey, on ? "1" : "0");
        });
    });
    connect(log, &TrafficLog::FramesByGapChanged, this, [this](bool on, int gapMs) {
        Application::RunReported([this, on, gapMs] {
            ProfileStore store(state_.shell.iniPath);
            store.WriteString(kLogSection, kFramesByGapKey, on ? "1" : "0");
            store.WriteString(kLogSection, kFrameGapKey, std::to_string(gapMs));
        });
    });
    connect(log, &TrafficLog::Failed, this, [](const QString& message) {
        Application::RunReported([&message] { throw std::runtime_error(ToBytes(message)); });
    });
    ui_->Splitter1->setStretchFactor(1, 1);
    ui_->Splitter1->setSizes({kGridHeight, kPageHeight - kGridHeight});
    SetUpChart();
}

void TForm1::SetUpChart() {
    QChart* chart = ui_->Chart1->chart();
    chart->setBackgroundRoundness(0);
    chart->setTitle("");
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->legend()->setContentsMargins(0, 1, 0, 1);
    chart->setPlotAreaBackgroundBrush(Qt::white);
    chart->setPlotAreaBackgroundPen(QPen(QColor(0xC0, 0xC0, 0xC0)));
    chart->setPlotAreaBackgroundVisible(true);
    auto* x = new QValueAxis;
    auto* y = new QValueAxis;
    x->setRange(0, 10);
    y->setRange(0, 10);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    const auto addSeries = [&](const char* name, QColor colour) {
        auto* series = new QLineSeries;
        series->setObjectName(name);
        series->setName(name);
        series->setColor(colour);
        series->setPointsVisible(false);
        chart->addSeries(series);
        series->attachAxis(x);
        series->attachAxis(y);
        return series;
    };
    QLineSeries* series2 = addSeries("Series2", Qt::green);
    QLineSeries* series3 = addSeries("Series3", Qt::yellow);
    QLineSeries* series1 = addSeries("Series1", Qt::blue);
    QLineSeries* series4 = addSeries("Series4", Qt::blue);
    // Series1 is red with a blue line pen: its legend shows the series' own colour.
    chart->legend()->markers(series1).front()->setBrush(Qt::red);
    charts_ = new ChartFeed(*ui_->Chart1, {series1, series2, series3, series4}, this);
    new ChartMouse(*charts_);
    chartMenu_ = new ChartMenu(*charts_, [this] { return RowsWithFields(); });
    // Stored when changed, as the log's and the checks' settings are.
    const auto store = [this] { Application::RunReported([this] { SaveChartOptions(); }); };
    connect(charts_, &ChartFeed::OptionsChanged, this, store);
    // Fields of matched answers feed the series bound to them.
    connect(this, &TForm1::FieldsRead, charts_, &ChartFeed::AddValues);
    connect(chartMenu_, &ChartMenu::OptionsChanged, this, store);
    connect(chartMenu_, &ChartMenu::Failed, this, [](const QString& message) {
        Application::RunReported([&message] { throw std::runtime_error(ToBytes(message)); });
    });
}

std::vector<RowFields> TForm1::RowsWithFields() const {
    std::vector<RowFields> rows;
    for (int row = 1; row <= kCommandRows; ++row) {
        RowFields one{row, ui_->CmdGrid->CellText(kDescriptionColumn, row), {}};
        const WindowFrameInputs inputs(*ui_->AddressEdit, *ui_->CmdGrid, state_.namedParams, row);
        try {
            if (const auto expected = ExpectedResponse::FromCell(
                    ui_->CmdGrid->CellText(kResponseColumn, row), inputs)) {
                for (const ResponseField& field : expected->Fields()) {
                    one.fields.push_back(field.name);
                }
            }
        } catch (const FrameTooLongError&) {
            // A cell too long to expect reads no fields; its hint in the grid says why.
        }
        rows.push_back(std::move(one));
    }
    return rows;
}

void TForm1::SaveChartOptions() {
    // Unchanged options are not written, so a file without charts gains no section of them.
    if (charts_->Options() == storedCharts_) {
        return;
    }
    ProfileStore store(state_.shell.iniPath);
    brantel::SaveChartOptions(charts_->Options(), store);
    storedCharts_ = charts_->Options();
}

WindowLayout TForm1::CurrentLayout() const {
    WindowLayout layout{ui_->Splitter1->sizes().value(0), {}};
    for (int column = 0; column < ui_->CmdGrid->columnCount(); ++column) {
        layout.columns.push_back(ui_->CmdGrid->columnWidth(column));
    }
    return layout;
}

void TForm1::ApplyLayout(const WindowLayout& layout) {
    // Until the window is laid out the page has its designed height; the log takes the rest.
    const QList<int> sizes = ui_->Splitter1->sizes();
    const int page = isVisible() ? sizes.value(0) + sizes.value(1) : kPageHeight;
    ui_->Splitter1->setSizes({layout.gridHeight, std::max(1, page - layout.gridHeight)});
    for (int column = 0; column < static_cast<int>(layout.columns.size()); ++column) {
        ui_->CmdGrid->setColumnWidth(column, layout.columns[column]);
    }
}

void TForm1::SaveChartsAndLayout() {
    SaveChartOptions();
    const WindowLayout layout = CurrentLayout();
    if (layout == storedLayout_) {
        return;
    }
    ProfileStore store(state_.shell.iniPath);
    WriteWindowLayout(layout, store);
    storedLayout_ = layout;
}

void TForm1::ConnectHandlers() {
    // Each handler runs guarded: its failure is reported by the event dispatch.
    const auto guarded = [this](void (TForm1::*handler)()) {
        return [this, handler] { Application::Guard([this, handler] { (this->*handler)(); }); };
    };
    connect(ui_->Button3, &QPushButton::clicked, this, guarded(&TForm1::Button3Click));
    connect(ui_->Button6, &QPushButton::clicked, this, guarded(&TForm1::Button6Click));
    connect(ui_->Button4, &QPushButton::clicked, this, guarded(&TForm1::Button4Click));
    connect(ui_->Button5, &QPushButton::clicked, this, guarded(&TForm1::Button5Click));
    connect(ui_->SendCmdBtn, &QPushButton::clicked, this, guarded(&TForm1::SendCmdBtnClick));
    connect(Timer1, &QTimer::timeout, this, guarded(&TForm1::Timer1Timer));
    connect(&state_.port, &PortConnection::Arrived, this, guarded(&TForm1::ReadArrived));
    connect(ui_->PortNumber, &QLineEdit::textChanged, this, guarded(&TForm1::PortNumberChange));
    connect(ui_->Parameters, &QLineEdit::textChanged, this, guarded(&TForm1::ParametersChange));
    // After the parameter table is parsed again: the notes read it.
    for (const QLineEdit* input : {ui_->AddressEdit, ui_->Parameters}) {
        connect(input, &QLineEdit::textChanged, ui_->CmdGrid, &CommandGrid::RefreshCommandNotes);
    }
    ui_->CmdGrid->SetCommandNotes([this](int row, bool withToolTip) {
        const WindowFrameInputs inputs(*ui_->AddressEdit, *ui_->CmdGrid, state_.namedParams, row);
        return TemplateNote(ui_->CmdGrid->CellText(kCommandColumn, row), inputs, withToolTip);
    });
    connect(ui_->N1, &QAction::triggered, this, guarded(&TForm1::N1Click));
    connect(ui_->PortsItem, &QAction::triggered, this, guarded(&TForm1::PortsClick));
    connect(ui_->N2, &QAction::triggered, this, &QWidget::close);
    connect(ui_->PollItem, &QAction::triggered, this, guarded(&TForm1::PollClick));
    connect(ui_->CheckResponses, &QAction::toggled, this, [this](bool on) {
        // An answer still awaited when the checks go off is not judged.
        state_.responseWatch = ResponseWatch();
        poll_->AnswerComplete();
        Application::RunReported([this, on] {
            ProfileStore(state_.shell.iniPath)
                .WriteString(kChecksSection, kResponsesKey, on ? "1" : "0");
        });
    });
    connect(ui_->AnswerRequests, &QAction::toggled, this, [this](bool on) {
        Application::RunReported([this, on] {
            ProfileStore store(state_.shell.iniPath);
            store.WriteString(kChecksSection, kAnswerKey, on ? "1" : "0");
            if (on) {
                StartAnswering(store);
            }
        });
    });
    connect(ui_->ShowFields, &QAction::toggled, this, [this](bool on) {
        Application::RunReported([this, on] {
            ProfileStore(state_.shell.iniPath)
                .WriteString(kChecksSection, kFieldsKey, on ? "1" : "0");
        });
    });
    connect(ui_->CmdGrid, &CommandGrid::DoubleClicked, this, guarded(&TForm1::CmdGridDblClick));
    connect(&state_.port, &PortConnection::Released, this, [this] {
        StopPoll("port closed");
        statusPanel_->setText(ClosedStatus());
        AwaitReturn();
    });
}

void TForm1::FormCreate() {
    state_.shell.iniPath = state_.shell.locateIni();
    FormStorage1->SetIniFileName(state_.shell.iniPath);
    Application::RunReported([this] { LockIni(); });
    ui_->PortSpeed->setEditText("9600");
    // A failing step is reported and the rest still run: a table left unloaded would be saved
    // over the stored one at the next close.
    Application::RunReported([this] { FormStorage1->RestoreOptions(); });
    ShowAddressWarning(*ui_->AddressEdit);
    Application::RunReported([this] { Application::Press(ui_->Button3); });
    Application::RunReported([this] {
        const ProfileStore store(state_.shell.iniPath);
        LoadCommandTable(*ui_->CmdGrid, store);
        WindowLayout designed = CurrentLayout();
        designed.gridHeight = kGridHeight;
        storedLayout_ = ReadWindowLayout(store, designed);
        ApplyLayout(storedLayout_);
        ui_->SerialMemo->SetTimeStamps(store.ReadString(kLogSection, kTimeStampsKey, "0") == "1");
        ui_->SerialMemo->SetFramesByGap(
            store.ReadString(kLogSection, kFramesByGapKey, "0") == "1",
            ParseIntegerOr(store.ReadString(kLogSection, kFrameGapKey, ""),
                           TrafficLog::kDefaultFrameGapMs));
        const QSignalBlocker unstored(ui_->CheckResponses);
        ui_->CheckResponses->setChecked(store.ReadString(kChecksSection, kResponsesKey, "0") ==
                                        "1");
        const QSignalBlocker fieldsUnstored(ui_->ShowFields);
        ui_->ShowFields->setChecked(store.ReadString(kChecksSection, kFieldsKey, "0") == "1");
        const QSignalBlocker answerUnstored(ui_->AnswerRequests);
        ui_->AnswerRequests->setChecked(store.ReadString(kChecksSection, kAnswerKey, "0") == "1");
        if (ui_->AnswerRequests->isChecked()) {
            StartAnswering(store);
        }
        storedCharts_ = LoadChartOptions(store);
        charts_->SetOptions(storedCharts_);
    });
    state_.shell.ready = true;
    // The port opened before the table was loaded: a poll it starts waits until now.
    Application::RunReported([this] { StartPollOnOpen(); });
}

void TForm1::FormClose() {
    StopPoll("window closed");
    if (pollDialog_) {
        pollDialog_->close();
    }
    Application::Press(ui_->Button6);
    SaveTable();
}

void TForm1::LockIni() {
    iniLock_ = std::make_unique<IniLock>(state_.shell.iniPath);
    const std::optional<LockOwner> owner = iniLock_->Acquire();
    if (!owner) {
        return;
    }
    if (AskAboutKeptTable(state_.shell.iniPath, *owner, nullptr) == TableChoice::kSaveAnyway) {
        iniLock_->TakeOver();
        return;
    }
    tableReadOnly_ = true;
    setWindowTitle(windowTitle() + " [table read-only]");
}

void TForm1::SaveTable() {
    if (tableReadOnly_) {
        return;
    }
    ProfileStore store(state_.shell.iniPath);
    SaveCommandTable(*ui_->CmdGrid, store);
}

void TForm1::closeEvent(QCloseEvent* event) {
    // Refused until the close order has run to its end: a failure in it keeps the window open.
    event->ignore();
    Application::RunReported([this] { FormStorage1->SaveOptions(); });
    Application::RunReported([this] { SaveChartsAndLayout(); });
    Application::Guard([this, event] {
        FormClose();
        event->accept();
    });
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!event->spontaneous()) {
        Application::RunReported([this] { FormStorage1->RestoreOptions(); });
    }
}

void TForm1::SaveAtSessionEnd() {
    Application::RunReported([this] { FormStorage1->SaveOptions(); });
    Application::RunReported([this] { SaveChartsAndLayout(); });
    Application::RunReported([this] { SaveTable(); });
}

void TForm1::Button3Click() {
    reopenWatch_->Stop();
    const int number = ui_->PortNumber->Value();
    const PortLine line = PortLineSettings(ProfileStore(state_.shell.iniPath), number);
    state_.port.OpenPort(number, line.settings);
    if (!line.problem.empty()) {
        LogLine(PortNoteLine(number, line.problem), kPortStatusGreen);
    }
    statusPanel_->setText(FromBytes(OpenStatusText(number, state_.port.PortHandle() != nullptr)));
    // Before start-up is over the table is not loaded yet: start-up starts the poll itself.
    if (state_.shell.ready) {
        Application::RunReported([this] { StartPollOnOpen(); });
    }
}

void TForm1::Button6Click() {
    StopPoll("port closed");
    reopenWatch_->Stop();
    state_.port.ClosePort();
    statusPanel_->setText(ClosedStatus());
}

std::string TForm1::DeviceOf(int number) const {
    return PortDevicePath(ProfileStore(state_.shell.iniPath), number).value_or("");
}

QString TForm1::StatusTip() const {
    const int number = ui_->PortNumber->Value();
    const std::string failure =
        state_.port.PortHandle() == nullptr ? state_.port.OpenFailure() : std::string();
    const PortLine line = PortLineSettings(ProfileStore(state_.shell.iniPath), number);
    return FromBytes(PortStatusTip(number, DeviceOf(number), line, FindSerialPorts(), failure));
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == statusPanel_ && event->type() == QEvent::ToolTip) {
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), StatusTip(), statusPanel_);
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::AwaitReturn() {
    reopenWatch_->Watch(DeviceOf(ui_->PortNumber->Value()));
}

void TForm1::PortsClick() {
    PortsDialog dialog(state_.shell.iniPath, FindSerialPorts, this);
    const int number = ui_->PortNumber->Value();
    const auto setup = [this, number] {
        return std::pair(DeviceOf(number),
                         PortLineSettings(ProfileStore(state_.shell.iniPath), number).settings);
    };
    const auto before = setup();
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    dialog.Store();
    if (setup() == before) {
        return;
    }
    if (state_.port.PortHandle() != nullptr) {
        Application::Press(ui_->Button6);
        Application::Press(ui_->Button3);
    } else if (reopenWatch_->Watching()) {
        AwaitReturn();
    }
}

void TForm1::Button4Click() {
    const std::string& received = state_.transfer.ReadBytes();
    ui_->Edit1->setText(FromDeviceBytes(ReceivedText(received)));
    WatchResponse(received);
}

void TForm1::Button5Click() {
    SendBytes(ToBytes(ui_->Edit2->text()));
}

void TForm1::Timer1Timer() {
    if (state_.port.PortHandle() != nullptr) {
        const std::string& received = state_.transfer.ReadBytes();
        WatchResponse(received);
        if (ui_->AnswerRequests->isChecked()) {
            AnswerRequests(received);
        }
    } else {
        // Without a port the watch still ends when its time is up.
        WatchResponse({});
    }
}

// With received frames split by gap, the port is read as bytes come rather than at the tick, so
// that each frame's line is stamped with the arrival of its first byte. Each read is taken as a
// tick takes it.
void TForm1::ReadArrived() {
    if (!ui_->SerialMemo->FramesByGap() || state_.transfer.Reading()) {
        return;
    }
    while (state_.port.PortHandle() != nullptr) {
        Timer1Timer();
        if (state_.transfer.LastReceived().size() < RawTransfer::kBufferSize) {
            return;
        }
    }
}

void TForm1::PortNumberChange() {
    StopPoll("port number changed");
    Application::Press(ui_->Button6);
    Application::Press(ui_->Button3);
}

void TForm1::N1Click() {
    FormStorage1->SaveOptions();
    SaveChartsAndLayout();
    SaveTable();
}

void TForm1::CmdGridDblClick() {
    Application::Press(ui_->SendCmdBtn);
}

void TForm1::SendCmdBtnClick() {
    SendRow(ui_->CmdGrid->CurrentRow());
}

void TForm1::SendRow(int row, bool polled) {
    if (const std::optional<JudgedAnswer> judged = state_.responseWatch.Finish()) {
        Judged(*judged);
    }
    LogLine(
        CommandAnnotation([this, row](int column) { return ui_->CmdGrid->CellText(column, row); }),
        kAnnotationTeal);
    BuildAndSend(ui_->CmdGrid->CellText(kCommandColumn, row), row);
    WatchAnswer(row, polled);
}

void TForm1::WatchAnswer(int row, bool polled) {
    const bool checks = ui_->CheckResponses->isChecked();
    const bool fields = ui_->ShowFields->isChecked();
    const WindowFrameInputs inputs(*ui_->AddressEdit, *ui_->CmdGrid, state_.namedParams, row);
    const std::string cell = ui_->CmdGrid->CellText(kResponseColumn, row);
    std::optional<ExpectedResponse> expected;
    if (checks || fields) {
        expected = ExpectedResponse::FromCell(cell, inputs);
    } else {
        // Nobody asked for this answer to be judged: a cell that cannot be is no one's error.
        try {
            expected = ExpectedResponse::FromCell(cell, inputs);
        } catch (const FrameTooLongError&) {
        }
    }
    // Without the checks an answer is still followed for its fields' values and for a poll
    // that waits for it; its verdict is not logged.
    if (expected && (checks || polled || !expected->Fields().empty())) {
        state_.responseWatch.Start(std::move(*expected), std::chrono::steady_clock::now(), row);
    }
}

RequestAnswering::Table TForm1::AnsweringTable() const {
    RequestAnswering::Table table;
    for (int row = 1; row <= kCommandRows; ++row) {
        std::string command = ui_->CmdGrid->CellText(kCommandColumn, row);
        if (!command.empty()) {
            table.rows.push_back(
                {row, std::move(command), ui_->CmdGrid->CellText(kResponseColumn, row)});
        }
    }
    table.address = ToBytes(ui_->AddressEdit->text());
    table.parameters = ToBytes(ui_->Parameters->text());
    return table;
}

void TForm1::StartAnswering(const ProfileStore& store) {
    std::vector<std::string> warnings;
    answering_.Start(AnsweringTable(), store, warnings);
    for (const std::string& warning : warnings) {
        LogLine("// " + warning, kAnnotationTeal);
    }
}

void TForm1::AnswerRequests(const std::string& received) {
    for (const RequestAnswering::Step& step : answering_.Take(received, AnsweringTable())) {
        LogLine(step.line, kAnnotationTeal);
        if (step.bytes) {
            SendBytes(*step.bytes);
        }
    }
}

void TForm1::WatchResponse(const std::string& received) {
    if (const std::optional<JudgedAnswer> judged =
            state_.responseWatch.Read(received, std::chrono::steady_clock::now())) {
        Judged(*judged);
    }
}

void TForm1::Judged(const JudgedAnswer& judged) {
    if (ui_->CheckResponses->isChecked()) {
        LogLine(judged.line, kAnnotationTeal);
    }
    if (judged.verdict.matches && !judged.verdict.fields.empty()) {
        if (ui_->ShowFields->isChecked()) {
            LogLine(FieldsLine(judged.verdict.fields), kAnnotationTeal);
        }
        emit FieldsRead(judged.row, judged.verdict.fields);
    }
    poll_->AnswerComplete();
}

void TForm1::PollClick() {
    if (!pollDialog_) {
        pollDialog_ = new PollDialog(this);
        connect(pollDialog_, &PollDialog::StartPressed, this,
                [this] { Application::Guard([this] { StartPollFromDialog(); }); });
        connect(pollDialog_, &PollDialog::StopPressed, this,
                [this] { Application::Guard([this] { StopPoll("Stop pressed"); }); });
        connect(pollDialog_, &QDialog::finished, this,
                [this] { Application::Guard([this] { StorePollSettings(); }); });
    }
    if (!pollDialog_->isVisible()) {
        pollDialog_->SetSettings(ReadPollSettings(ProfileStore(state_.shell.iniPath)));
        ShowPollState();
    }
    pollDialog_->show();
    pollDialog_->raise();
    pollDialog_->activateWindow();
}

void TForm1::StorePollSettings() {
    ProfileStore store(state_.shell.iniPath);
    WritePollSettings(store, pollDialog_->Settings());
}

void TForm1::StartPollFromDialog() {
    const PollSettings settings = pollDialog_->Settings();
    Application::RunReported([this] { StorePollSettings(); });
    std::string why;
    const std::optional<PollPlan> plan = MakePollPlan(settings, &why);
    if (!plan) {
        pollDialog_->ShowState(Polling(), FromBytes(why), true);
        return;
    }
    if (state_.port.PortHandle() == nullptr) {
        pollDialog_->ShowState(
            Polling(), QString("COM%1 is not open: open it first").arg(ui_->PortNumber->Value()),
            true);
        return;
    }
    StartPoll(*plan);
}

void TForm1::StartPollOnOpen() {
    if (state_.port.PortHandle() == nullptr || Polling()) {
        return;
    }
    const PollSettings settings = ReadPollSettings(ProfileStore(state_.shell.iniPath));
    if (!settings.startWhenOpen) {
        return;
    }
    std::string why;
    if (const std::optional<PollPlan> plan = MakePollPlan(settings, &why)) {
        StartPoll(*plan);
    } else {
        LogLine("// Poll not started: " + why, kAnnotationTeal);
    }
}

void TForm1::StartPoll(const PollPlan& plan) {
    poll_->Stop();
    LogLine("// Poll started: " + PollStatusText(plan).substr(std::string("Polling ").size()),
            kAnnotationTeal);
    pollPanel_->setText(FromBytes(PollStatusText(plan)));
    pollPanel_->show();
    // The chart's time counts from the poll's start.
    charts_->Restart();
    poll_->Start(plan);
    ShowPollState();
}

void TForm1::StopPoll(const std::string& why) {
    if (!poll_->Running()) {
        return;
    }
    poll_->Stop();
    const std::string line = "// Poll stopped: " + why;
    LogLine(line, kAnnotationTeal);
    pollPanel_->hide();
    ShowPollState(FromBytes(line.substr(3)));
}

bool TForm1::Polling() const {
    return poll_->Running();
}

QString TForm1::PollStatus() const {
    return pollPanel_->isVisibleTo(ui_->StatusBar1) ? pollPanel_->text() : QString();
}

void TForm1::ShowPollState(const QString& text) {
    if (pollDialog_) {
        pollDialog_->ShowState(Polling(), Polling() ? pollPanel_->text() : text);
    }
}

void TForm1::ParametersChange() {
    state_.namedParams.Parse(ToBytes(ui_->Parameters->text()));
}

QString TForm1::StatusText() const {
    return statusPanel_->text();
}

void TForm1::LogLine(const std::string& text, Colour colour) {
    ui_->SerialMemo->LogLine(text, colour);
}

void TForm1::BuildAndSend(const std::string& frameTemplate, int row) {
    const WindowFrameInputs inputs(*ui_->AddressEdit, *ui_->CmdGrid, state_.namedParams, row);
    SendBytes(BuildFrame(frameTemplate, inputs));
}

void TForm1::SendBytes(const std::string& bytes) {
    const bool open = state_.port.PortHandle() != nullptr;
    const auto sent = static_cast<std::size_t>(state_.transfer.WriteBytes(bytes));
    if (sent >= bytes.size()) {
        return;
    }
    // The red line shows what was handed over; this says it never reached the device.
    const std::string port = "COM" + std::to_string(ui_->PortNumber->Value());
    const std::string why = !open ? port + " is closed"
                            : state_.port.PortHandle() == nullptr
                                ? port + " was lost while it was written"
                                : std::to_string(bytes.size() - sent) + " of " +
                                      std::to_string(bytes.size()) + " bytes did not reach " + port;
    LogLine("// not sent: " + why, kAnnotationTeal);
    QApplication::beep();
}

}  // namespace brantel
