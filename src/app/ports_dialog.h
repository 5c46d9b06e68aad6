#pragma once

#include <QDialog>
#include <QTimer>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "platform/line_settings.h"
#include "serial/found_ports.h"

class QComboBox;
class QLabel;

namespace brantel {

class LineSettingsEdit;

// "Ports...": which device each of COM1 to COM4 opens and the line it runs at, section "Ports"
// of the INI file. Each number has an editable choice of the devices found now, or any path or
// network address, and says whether what it names is there; the list follows devices as they
// come and go. Below each device are its line settings.
class PortsDialog : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kPorts = 4;
    using PortFinder = std::function<std::vector<FoundPort>()>;

    PortsDialog(std::string iniPath, PortFinder findPorts, QWidget* parent = nullptr);

    // The device of each number as edited, COM1 first.
    std::array<std::string, kPorts> Values() const;
    // The line settings of each number as edited, COM1 first.
    std::array<LineSettings, kPorts> Lines() const;
    // Writes the values into section "Ports" (a blank value as the number's default device),
    // and the line settings of each number that has stored ones or runs at others than the
    // default.
    void Store() const;
    // Looks for devices again and says which values are there.
    void Refresh();

  private:
    void ShowPresence(int row);

    std::string iniPath_;
    PortFinder findPorts_;
    std::vector<FoundPort> found_;
    std::array<QComboBox*, kPorts> choices_{};
    std::array<QLabel*, kPorts> presence_{};
    std::array<LineSettingsEdit*, kPorts> lines_{};
    QTimer refresh_;
};

}  // namespace brantel
