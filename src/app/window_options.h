#pragma once

#include <memory>
#include <string>

#include "options/form_storage.h"
#include "options/placed_window.h"
#include "options/stored_property.h"

class QComboBox;
class QLineEdit;
class QWidget;

namespace brantel {

class PortNumberEdit;

// The stored options of the main window (`FormStorage1`): its placement through Qt geometry and
// its four stored control values.
class WindowOptions {
  public:
    WindowOptions(QWidget& window, PortNumberEdit& portNumber, QComboBox& portSpeed,
                  QLineEdit& address, QLineEdit& parameters);
    ~WindowOptions();

    void SetIniFileName(std::string path) { storage_.SetIniFileName(std::move(path)); }
    void SaveOptions() { storage_.SaveOptions(); }
    void RestoreOptions() { storage_.RestoreOptions(); }
    void SaveAtDestruction() { storage_.SaveAtDestruction(); }
    const FormStorage& Storage() const { return storage_; }

  private:
    class QtPlacedWindow;

    std::unique_ptr<QtPlacedWindow> window_;
    WholeNumberProperty portNumber_;
    TextProperty portSpeed_;
    TextProperty address_;
    TextProperty parameters_;
    FormStorage storage_;
};

}  // namespace brantel
