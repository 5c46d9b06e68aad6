#include "widgets/line_settings_edit.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLineEdit>
#include <limits>

namespace brantel {
namespace {

constexpr int kStandardSpeeds[] = {110,   300,   600,   1200,   2400,   4800,   9600,  14400,
                                   19200, 38400, 57600, 115200, 230400, 460800, 921600};
// Wide enough for the longest standard rate, whatever is typed.
constexpr int kSpeedChars = 7;

QComboBox* Choice(QWidget* parent, const QString& name, int number, const QStringList& items,
                  const QString& tip) {
    auto* choice = new QComboBox(parent);
    choice->setObjectName(name + QString::number(number));
    choice->addItems(items);
    choice->setToolTip(tip);
    choice->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return choice;
}

}  // namespace

LineSettingsEdit::LineSettingsEdit(int number, QWidget* parent) : QWidget(parent) {
    QStringList speeds;
    for (const int speed : kStandardSpeeds) {
        speeds << QString::number(speed);
    }
    speed_ = Choice(this, "Speed", number, speeds,
                    "Speed in baud: a standard rate, or any rate the driver accepts");
    speed_->setEditable(true);
    speed_->setInsertPolicy(QComboBox::NoInsert);
    speed_->setMinimumContentsLength(kSpeedChars);
    speed_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    speed_->setValidator(new QIntValidator(1, std::numeric_limits<int>::max(), speed_));
    dataBits_ = Choice(this, "DataBits", number, {"5", "6", "7", "8"}, "Data bits");
    parity_ = Choice(this, "Parity", number, {"none", "even", "odd", "mark", "space"}, "Parity");
    stopBits_ = Choice(this, "StopBits", number, {"1", "1.5", "2"}, "Stop bits");
    flow_ = Choice(this, "Flow", number, {"none", "RTS/CTS", "XON/XOFF"}, "Flow control");
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QComboBox* choice : {speed_, dataBits_, parity_, stopBits_, flow_}) {
        layout->addWidget(choice);
    }
    layout->addStretch(1);
    SetLine(LineSettings{});
}

void LineSettingsEdit::SetLine(const LineSettings& line) {
    speed_->setEditText(QString::number(line.speed));
    dataBits_->setCurrentText(QString::number(line.dataBits));
    parity_->setCurrentIndex(static_cast<int>(line.parity));
    stopBits_->setCurrentIndex(static_cast<int>(line.stopBits));
    flow_->setCurrentIndex(static_cast<int>(line.flow));
}

LineSettings LineSettingsEdit::Line() const {
    LineSettings line;
    bool typed = false;
    const uint speed = speed_->currentText().toUInt(&typed);
    if (typed && speed > 0 && speed <= kHighestSpeed) {
        line.speed = speed;
    }
    line.dataBits = dataBits_->currentText().toInt();
    line.parity = static_cast<LineSettings::Parity>(parity_->currentIndex());
    line.stopBits = static_cast<LineSettings::StopBits>(stopBits_->currentIndex());
    line.flow = static_cast<LineSettings::Flow>(flow_->currentIndex());
    return line;
}

}  // namespace brantel
