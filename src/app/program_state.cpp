#include "app/program_state.h"

#include "platform/port_names.h"
#include "platform/profile_store.h"

namespace brantel {

ProgramState::ProgramState()
    : Port([this](const std::string& text, Colour colour) { LogRoute(text, colour); },
           [this](int number) { return PortDevicePath(ProfileStore(Shell.IniPath), number); }),
      Transfer(
          Port, [this](const std::string& text, Colour colour) { LogRoute(text, colour); },
          [this](const std::string& text) { ShowReceivedRoute(text); }) {}

}  // namespace brantel
