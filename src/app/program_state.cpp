#include "app/program_state.h"

#include "platform/port_names.h"
#include "platform/profile_store.h"

namespace brantel {

ProgramState::ProgramState()
    : port([this](const std::string& text, Colour colour) { logRoute(text, colour); },
           [this](int number) { return PortDevicePath(ProfileStore(shell.iniPath), number); }),
      transfer(
          port, [this](const std::string& bytes, Colour colour) { hexRoute(bytes, colour); },
          [this](const std::string& text) { showReceivedRoute(text); }) {}

}  // namespace brantel
