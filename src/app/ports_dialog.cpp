#include "app/ports_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <algorithm>

#include "app/port_tip.h"
#include "platform/port_names.h"
#include "platform/profile_store.h"
#include "qtbridge/local_text.h"
#include "widgets/line_settings_edit.h"

namespace brantel {
namespace {

constexpr int kRefreshMs = 1000;
constexpr int kPresenceChars = 48;

}  // namespace

PortsDialog::PortsDialog(std::string iniPath, PortFinder findPorts, QWidget* parent)
    : QDialog(parent), iniPath_(std::move(iniPath)), findPorts_(std::move(findPorts)) {
    setWindowTitle("Ports");
    auto* layout = new QGridLayout(this);
    const ProfileStore store(iniPath_);
    for (int row = 0; row < kPorts; ++row) {
        const int number = row + 1;
        auto* choice = new QComboBox(this);
        choice->setObjectName(QString("Port%1").arg(number));
        choice->setEditable(true);
        choice->setInsertPolicy(QComboBox::NoInsert);
        // As wide as 40 characters whatever the devices found or the text typed.
        choice->setMinimumContentsLength(40);
        choice->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        choice->setToolTip("A device path, tcp://HOST:PORT or rfc2217://HOST:PORT");
        choice->setEditText(FromBytes(PortDevicePath(store, number).value_or("")));
        auto* presence = new QLabel(this);
        presence->setObjectName(QString("Presence%1").arg(number));
        // A long description is shortened in a column of its own width, whole in the tooltip,
        // instead of widening the dialog.
        presence->setFixedWidth(presence->fontMetrics().averageCharWidth() * kPresenceChars);
        auto* line = new LineSettingsEdit(number, this);
        const PortLine stored = PortLineSettings(store, number);
        line->SetLine(stored.settings);
        // A stored value that did not read shows as the default; the tooltip says why.
        line->setToolTip(FromBytes(stored.problem));
        // The settings go on a line of their own below the device, so the dialog keeps its
        // width.
        const int gridRow = 2 * row;
        layout->addWidget(new QLabel(QString("COM%1").arg(number), this), gridRow, 0);
        layout->addWidget(choice, gridRow, 1);
        layout->addWidget(presence, gridRow, 2);
        layout->addWidget(line, gridRow + 1, 1, 1, 2);
        choices_[row] = choice;
        presence_[row] = presence;
        lines_[row] = line;
        connect(choice, &QComboBox::editTextChanged, this, [this, row] { ShowPresence(row); });
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons, 2 * kPorts, 0, 1, 3);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        setMaximumSize(screen->availableGeometry().size());
    }
    refresh_.setInterval(kRefreshMs);
    connect(&refresh_, &QTimer::timeout, this, &PortsDialog::Refresh);
    refresh_.start();
    Refresh();
}

std::array<std::string, PortsDialog::kPorts> PortsDialog::Values() const {
    std::array<std::string, kPorts> values;
    for (int row = 0; row < kPorts; ++row) {
        values[row] = ToBytes(choices_[row]->currentText().trimmed());
    }
    return values;
}

std::array<LineSettings, PortsDialog::kPorts> PortsDialog::Lines() const {
    std::array<LineSettings, kPorts> lines;
    for (int row = 0; row < kPorts; ++row) {
        lines[row] = lines_[row]->Line();
    }
    return lines;
}

void PortsDialog::Store() const {
    ProfileStore store(iniPath_);
    const std::array<std::string, kPorts> values = Values();
    const std::array<LineSettings, kPorts> lines = Lines();
    for (int row = 0; row < kPorts; ++row) {
        const int number = row + 1;
        store.WriteString("Ports", "COM" + std::to_string(number),
                          values[row].empty() ? DefaultDevicePath(number) : values[row]);
        // A file that never had other settings stays as it was.
        const std::string lineKey = PortLineKey(number);
        if (lines[row] != LineSettings{} || !store.ReadString("Ports", lineKey, "").empty()) {
            store.WriteString("Ports", lineKey, LineSettingsText(lines[row]));
        }
    }
}

void PortsDialog::Refresh() {
    std::vector<FoundPort> found = findPorts_();
    const auto samePath = [](const FoundPort& a, const FoundPort& b) { return a.path == b.path; };
    if (!std::equal(found.begin(), found.end(), found_.begin(), found_.end(), samePath)) {
        // The list changes only when devices came or went, so typing is not disturbed.
        for (QComboBox* choice : choices_) {
            const QString text = choice->currentText();
            const QSignalBlocker quiet(choice);
            choice->clear();
            for (const FoundPort& port : found) {
                choice->addItem(FromBytes(port.path));
                choice->setItemData(choice->count() - 1, FromBytes(port.details), Qt::ToolTipRole);
            }
            choice->setEditText(text);
        }
    }
    found_ = std::move(found);
    for (int row = 0; row < kPorts; ++row) {
        ShowPresence(row);
    }
}

void PortsDialog::ShowPresence(int row) {
    QLabel* presence = presence_[row];
    const QString text =
        FromBytes(PortPresence(ToBytes(choices_[row]->currentText().trimmed()), found_));
    presence->setText(presence->fontMetrics().elidedText(text, Qt::ElideMiddle, presence->width()));
    presence->setToolTip(text);
}

}  // namespace brantel
