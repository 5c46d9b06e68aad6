#include "app/tform1.h"

#include <QAction>
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
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QValueAxis>
#include <limits>
#include <utility>

#include "app/application.h"
#include "app/port_number_edit.h"
#include "app/program_state.h"
#include "app/window_options.h"
#include "commands/command_grid.h"
#include "frames/frame_builder.h"
#include "log/local_text.h"
#include "log/traffic_log.h"
#include "platform/profile_store.h"
#include "serial/port_texts.h"
#include "text/strings.h"

namespace brantel {
namespace {

constexpr int kPanelHeight = 63;
constexpr int kStatusHeight = 19;
constexpr int kGridHeight = 245;

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

template <typename Widget>
Widget* Place(Widget* widget, const char* name, int left, int top, int width = 0, int height = 0) {
    widget->setObjectName(name);
    if (width > 0) {
        widget->setGeometry(left, top, width, height);
    } else {
        widget->adjustSize();
        widget->move(left, top);
    }
    return widget;
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

// Reads the template's inputs from the window at the moment each token needs them.
class WindowFrameInputs : public FrameInputs {
  public:
    WindowFrameInputs(const TForm1& form, const NamedParamTable& params)
        : form_(form), params_(params) {}
    std::string AddressText() const override { return ToBytes(form_.AddressEdit->text()); }
    const NamedParam* LookupNamedParam(std::string_view token) const override {
        return params_.LookupNamedParam(token);
    }
    std::string CurrentRowCell(int column) const override {
        return form_.CmdGrid->CellText(column, form_.CmdGrid->CurrentRow());
    }

  private:
    const TForm1& form_;
    const NamedParamTable& params_;
};

}  // namespace

TForm1::TForm1(ProgramState& state, QWidget* parent) : QMainWindow(parent), state_(state) {
    setObjectName("Form1");
    setWindowTitle("Brantel v.1.01");
    setWindowIcon(QIcon(":/brantel/brantel.png"));
    setFont(DesignFont(11));
    CreateMenu();
    auto* client = new QWidget(this);
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    CreatePanel();
    CreatePages();
    layout->addWidget(Panel1);
    layout->addWidget(PageControl1, 1);
    setCentralWidget(client);
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName("StatusBar1");
    StatusBar1->setFixedHeight(kStatusHeight);
    StatusBar1->setSizeGripEnabled(true);
    StatusPanel = new QLabel(StatusBar1);
    StatusPanel->setObjectName("StatusPanel");
    StatusBar1->addWidget(StatusPanel, 1);
    setStatusBar(StatusBar1);
    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(100);
    FormStorage1 = std::make_unique<WindowOptions>(*this);
    ConnectHandlers();
    resize(783, 567 + menuBar()->sizeHint().height());
    move(184, 99);
    state_.LogRoute = [this](const std::string& text, Colour colour) { LogLine(text, colour); };
    state_.ShowReceivedRoute = [this](const std::string& text) { Edit1->setText(FromBytes(text)); };
    Timer1->start();
}

TForm1::~TForm1() {
    Application::RunReported([this] { FormStorage1->SaveAtDestruction(); });
    state_.LogRoute = [](const std::string&, Colour) {};
    state_.ShowReceivedRoute = [](const std::string&) {};
}

void TForm1::CreateMenu() {
    N1 = menuBar()->addAction("Save Options");
    N1->setObjectName("N1");
    N1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    N2 = menuBar()->addAction("E&xit");
    N2->setObjectName("N2");
    menuBar()->setObjectName("MainMenu1");
}

void TForm1::CreatePanel() {
    Panel1 = new QWidget(this);
    Panel1->setObjectName("Panel1");
    Panel1->setFixedHeight(kPanelHeight);
    Label4 = Place(new QLabel("COM-Port :", Panel1), "Label4", 4, 8);
    PortNumber = Place(new PortNumberEdit(Panel1), "PortNumber", 67, 5, 41, 18);
    PortNumber->SetValue(2);
    Label1 = Place(new QLabel("Speed :", Panel1), "Label1", 4, 29);
    PortSpeed = Place(new QComboBox(Panel1), "PortSpeed", 43, 24, 65, 21);
    PortSpeed->setEditable(true);
    TakeAnyLength(PortSpeed->lineEdit());
    PortSpeed->addItems({"300", "600", "1200", "2400", "4800", "9600", "14400", "19200", "28800",
                         "33600", "57600", "115000", "230000", ""});
    PortSpeed->setMaxVisibleItems(14);
    PortSpeed->setInsertPolicy(QComboBox::NoInsert);
    PortSpeed->setEditText("");
    Button3 = Place(new QPushButton("Open", Panel1), "Button3", 111, 2, 41, 17);
    Button6 = Place(new QPushButton("Close", Panel1), "Button6", 111, 19, 41, 17);
    Button4 = Place(new QPushButton("Read", Panel1), "Button4", 152, 2, 48, 17);
    Button5 = Place(new QPushButton("Write", Panel1), "Button5", 151, 19, 49, 17);
    SendCmdBtn = Place(new QPushButton("Send Cmd", Panel1), "SendCmdBtn", 111, 36, 89, 17);
    Edit1 = Place(new QLineEdit(Panel1), "Edit1", 204, 1, 575, 21);
    SetTextColour(Edit1, kReceivedBlue);
    Edit2 = Place(new QLineEdit(Panel1), "Edit2", 204, 20, 575, 21);
    SetTextColour(Edit2, kSentRed);
    Label2 = Place(new QLabel("Address (A): ", Panel1), "Label2", 206, 45);
    AddressEdit = Place(new QLineEdit("50", Panel1), "AddressEdit", 266, 41, 33, 21);
    SetTextColour(AddressEdit, kNavy);
    TakeAnyLength(AddressEdit);
    Label3 = Place(new QLabel("Parameters:", Panel1), "Label3", 305, 45);
    Parameters = Place(new QLineEdit(Panel1), "Parameters", 363, 41, 414, 21);
    SetTextColour(Parameters, kNavy);
    TakeAnyLength(Parameters);
    for (const auto& [label, box] : {std::pair<QLabel*, QWidget*>{Label4, PortNumber},
                                     {Label1, PortSpeed},
                                     {Label2, AddressEdit},
                                     {Label3, Parameters}}) {
        FitBefore(label, box);
    }
    QWidget* const tabOrder[] = {Button3,    Button4,   Edit1,      Edit2,       Button5,   Button6,
                                 PortNumber, PortSpeed, SendCmdBtn, AddressEdit, Parameters};
    for (size_t i = 1; i < std::size(tabOrder); ++i) {
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }
}

void TForm1::CreatePages() {
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    TabSheet1 = new QWidget;
    TabSheet1->setObjectName("TabSheet1");
    auto* protocol = new QVBoxLayout(TabSheet1);
    protocol->setContentsMargins(0, 0, 0, 0);
    Splitter1 = new QSplitter(Qt::Vertical, TabSheet1);
    Splitter1->setObjectName("Splitter1");
    Splitter1->setHandleWidth(3);
    Splitter1->setChildrenCollapsible(false);
    CmdGrid = new CommandGrid(Splitter1);
    CmdGrid->setObjectName("CmdGrid");
    SerialMemo = new TrafficLog([this] { return state_.Shell.Ready; }, Splitter1);
    SerialMemo->setObjectName("SerialMemo");
    Splitter1->addWidget(CmdGrid);
    Splitter1->addWidget(SerialMemo);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({kGridHeight, 485 - kGridHeight});
    protocol->addWidget(Splitter1);
    TabSheet2 = new QWidget;
    TabSheet2->setObjectName("TabSheet2");
    CreateChart();
    PageControl1->addTab(TabSheet1, QString::fromUtf8("Протокол"));
    PageControl1->addTab(TabSheet2, QString::fromUtf8("Графики"));
    PageControl1->setCurrentWidget(TabSheet2);
}

void TForm1::CreateChart() {
    auto* chart = new QChart;
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
    Series2 = addSeries("Series2", Qt::green);
    Series3 = addSeries("Series3", Qt::yellow);
    Series1 = addSeries("Series1", Qt::blue);
    Series4 = addSeries("Series4", Qt::blue);
    // Series1 is red with a blue line pen: its legend shows the series' own colour.
    chart->legend()->markers(Series1).front()->setBrush(Qt::red);
    Chart1 = new QChartView(chart, TabSheet2);
    Chart1->setObjectName("Chart1");
    Chart1->setFrameShape(QFrame::NoFrame);
    auto* charts = new QVBoxLayout(TabSheet2);
    charts->setContentsMargins(0, 0, 0, 0);
    charts->addWidget(Chart1);
}

void TForm1::ConnectHandlers() {
    // Each handler runs guarded: its failure is reported by the event dispatch.
    const auto guarded = [this](void (TForm1::*handler)()) {
        return [this, handler] { Application::Guard([this, handler] { (this->*handler)(); }); };
    };
    connect(Button3, &QPushButton::clicked, this, guarded(&TForm1::Button3Click));
    connect(Button6, &QPushButton::clicked, this, guarded(&TForm1::Button6Click));
    connect(Button4, &QPushButton::clicked, this, guarded(&TForm1::Button4Click));
    connect(Button5, &QPushButton::clicked, this, guarded(&TForm1::Button5Click));
    connect(SendCmdBtn, &QPushButton::clicked, this, guarded(&TForm1::SendCmdBtnClick));
    connect(Timer1, &QTimer::timeout, this, guarded(&TForm1::Timer1Timer));
    connect(PortNumber, &QLineEdit::textChanged, this, guarded(&TForm1::PortNumberChange));
    connect(Parameters, &QLineEdit::textChanged, this, guarded(&TForm1::ParametersChange));
    connect(N1, &QAction::triggered, this, guarded(&TForm1::N1Click));
    connect(N2, &QAction::triggered, this, &QWidget::close);
    connect(CmdGrid, &CommandGrid::DoubleClicked, this, guarded(&TForm1::CmdGridDblClick));
    connect(&state_.Port, &PortConnection::Released, this,
            [this] { StatusPanel->setText(ClosedStatus()); });
}

void TForm1::FormCreate() {
    state_.Shell.IniPath = state_.Shell.LocateIni();
    FormStorage1->SetIniFileName(state_.Shell.IniPath);
    PortSpeed->setEditText("9600");
    // A failing step is reported and the rest still run: a table left unloaded would be saved
    // over the stored one at the next close.
    Application::RunReported([this] { FormStorage1->RestoreOptions(); });
    Application::RunReported([this] { Application::Press(Button3); });
    Application::RunReported([this] {
        const ProfileStore store(state_.Shell.IniPath);
        LoadCommandTable(*CmdGrid, store);
    });
    state_.Shell.Ready = true;
}

void TForm1::FormClose() {
    Application::Press(Button6);
    ProfileStore store(state_.Shell.IniPath);
    SaveCommandTable(*CmdGrid, store);
}

void TForm1::closeEvent(QCloseEvent* event) {
    // Refused until the close order has run to its end: a failure in it keeps the window open.
    event->ignore();
    Application::RunReported([this] { FormStorage1->SaveOptions(); });
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
    Application::RunReported([this] {
        ProfileStore store(state_.Shell.IniPath);
        SaveCommandTable(*CmdGrid, store);
    });
}

void TForm1::Button3Click() {
    const int number = PortNumber->Value();
    state_.Port.OpenPort(number, 9600);
    StatusPanel->setText(FromBytes(OpenStatusText(number, state_.Port.PortHandle() != nullptr)));
}

void TForm1::Button6Click() {
    state_.Port.ClosePort();
    StatusPanel->setText(ClosedStatus());
}

void TForm1::Button4Click() {
    state_.Transfer.ReadBytes(state_.Transfer.LastReceived());
    Edit1->setText(FromBytes(ReceivedText(state_.Transfer.LastReceived())));
}

void TForm1::Button5Click() {
    state_.Transfer.WriteBytes(ToBytes(Edit2->text()));
}

void TForm1::Timer1Timer() {
    if (state_.Port.PortHandle() != nullptr) {
        state_.Transfer.ReadBytes(state_.Transfer.LastReceived());
    }
}

void TForm1::PortNumberChange() {
    Application::Press(Button6);
    Application::Press(Button3);
}

void TForm1::N1Click() {
    FormStorage1->SaveOptions();
}

void TForm1::CmdGridDblClick() {
    Application::Press(SendCmdBtn);
}

void TForm1::SendCmdBtnClick() {
    const int row = CmdGrid->CurrentRow();
    std::string values;
    for (int column = 3; column <= 10; ++column) {
        const std::string value = RemoveSpaces(CmdGrid->CellText(column, row));
        if (value.empty()) {
            break;
        }
        values += "," + value;
    }
    if (!values.empty()) {
        values = " (" + values.substr(1) + ")";
    }
    LogLine("// " + CmdGrid->CellText(0, row) + values + " :", kAnnotationTeal);
    BuildAndSend(CmdGrid->CellText(1, row));
}

void TForm1::ParametersChange() {
    state_.NamedParams.ParametersChange(ToBytes(Parameters->text()));
}

void TForm1::LogLine(const std::string& text, std::uint32_t colour) {
    SerialMemo->LogLine(text, colour);
}

void TForm1::LogHex(const std::string& data, std::uint32_t colour) {
    SerialMemo->LogHex(data, colour);
}

void TForm1::BuildAndSend(const std::string& frameTemplate) {
    const WindowFrameInputs inputs(*this, state_.NamedParams);
    state_.Transfer.WriteBytes(BuildFrame(frameTemplate, inputs));
}

}  // namespace brantel
