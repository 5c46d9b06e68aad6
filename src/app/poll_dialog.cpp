#include "app/poll_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "qtbridge/local_text.h"

namespace brantel {

PollDialog::PollDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("PollDialog");
    setWindowTitle("Poll");
    // A title and a close button: a maximized or minimized Poll dialog serves nothing.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    rows_ = new QLineEdit(this);
    rows_->setObjectName("PollRows");
    rows_->setPlaceholderText("3,5-6");
    rows_->setMinimumWidth(rows_->fontMetrics().horizontalAdvance(QString(36, '0')));
    rows_->setToolTip("The rows to send in turn, 1 to 29 from the top of the table, such as 3,5-6");
    interval_ = new QSpinBox(this);
    interval_->setObjectName("PollInterval");
    interval_->setRange(kMinPollIntervalMs, kMaxPollIntervalMs);
    interval_->setSingleStep(100);
    interval_->setSuffix(" ms");
    interval_->setGroupSeparatorShown(true);
    interval_->setToolTip("From one send to the next, at least");
    wait_ = new QCheckBox("&Wait for each answer", this);
    wait_->setObjectName("PollWait");
    wait_->setToolTip(
        "On: the next row goes once the answer matched, differed or timed out.\n"
        "Off: a row goes at every tick of the interval; a tick that finds an answer still "
        "awaited is skipped.");
    startWhenOpen_ = new QCheckBox("Start whenever the port &opens", this);
    startWhenOpen_->setObjectName("PollStartWhenOpen");
    state_ = new QLabel(this);
    state_->setObjectName("PollState");
    state_->setWordWrap(true);
    state_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Room for two lines from the start, so a longer state does not squeeze the boxes.
    state_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    state_->setMinimumHeight(2 * state_->fontMetrics().lineSpacing());

    auto* form = new QFormLayout;
    form->addRow("&Rows:", rows_);
    form->addRow("&Interval:", interval_);
    form->addRow(wait_);
    form->addRow(startWhenOpen_);

    auto* buttons = new QDialogButtonBox(this);
    start_ = buttons->addButton("&Start", QDialogButtonBox::ActionRole);
    start_->setObjectName("PollStart");
    stop_ = buttons->addButton("S&top", QDialogButtonBox::ActionRole);
    stop_->setObjectName("PollStop");
    QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
    close->setObjectName("PollClose");
    // Like Start and Stop, without the style's icon.
    close->setIcon(QIcon());
    connect(start_, &QPushButton::clicked, this, &PollDialog::StartPressed);
    connect(stop_, &QPushButton::clicked, this, &PollDialog::StopPressed);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    // The dialog takes the size its contents ask for, growing with a longer state rather than
    // squeezing the boxes; a window manager then offers no maximize.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(form);
    layout->addWidget(state_);
    layout->addWidget(buttons);
    SetSettings(PollSettings{});
    ShowState(false, "");
}

PollSettings PollDialog::Settings() const {
    PollSettings settings;
    settings.rows = ToBytes(rows_->text().trimmed());
    settings.intervalMs = interval_->value();
    settings.waitForAnswer = wait_->isChecked();
    settings.startWhenOpen = startWhenOpen_->isChecked();
    return settings;
}

void PollDialog::SetSettings(const PollSettings& settings) {
    rows_->setText(FromBytes(settings.rows));
    interval_->setValue(settings.intervalMs);
    wait_->setChecked(settings.waitForAnswer);
    startWhenOpen_->setChecked(settings.startWhenOpen);
}

void PollDialog::ShowState(bool running, const QString& text, bool problem) {
    stop_->setEnabled(running);
    state_->setText(text.isEmpty() ? QString(running ? "Polling" : "Not polling") : text);
    QPalette palette = state_->palette();
    palette.setColor(QPalette::WindowText,
                     problem ? QColor(Qt::red) : QPalette().color(QPalette::WindowText));
    state_->setPalette(palette);
}

}  // namespace brantel
