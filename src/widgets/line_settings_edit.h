#pragma once

#include <QWidget>

#include "platform/line_settings.h"

class QComboBox;

namespace brantel {

// One port's line settings as a row of compact choices: speed (a standard rate or any positive
// whole number typed), data bits, parity, stop bits and flow control. Each choice is named
// after what it sets and the port's number ("Speed2", "Parity2", ...).
class LineSettingsEdit : public QWidget {
    Q_OBJECT
  public:
    LineSettingsEdit(int number, QWidget* parent = nullptr);

    void SetLine(const LineSettings& line);
    // The settings chosen; a speed left blank is the default speed.
    LineSettings Line() const;

  private:
    QComboBox* speed_;
    QComboBox* dataBits_;
    QComboBox* parity_;
    QComboBox* stopBits_;
    QComboBox* flow_;
};

}  // namespace brantel
