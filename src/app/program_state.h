#pragma once

#include <functional>
#include <string>

#include "app/ini_location.h"
#include "frames/named_params.h"
#include "frames/response_watch.h"
#include "serial/log_sink.h"
#include "serial/port_connection.h"
#include "serial/raw_transfer.h"

namespace brantel {

// The shell's own program-wide values.
struct ShellState {
    // Where start-up finds the INI file; a test points it at a folder of its own.
    std::function<std::string()> locateIni = ResolveIniPath;
    std::string iniPath;
    bool ready = false;
};

// Program-wide state, owned by the application for the whole run; each part is written by its
// own subsystem. The window routes the serial link's output into its log and Edit1.
class ProgramState {
  public:
    ProgramState();

    ShellState shell;
    NamedParamTable namedParams;
    // The answer awaited by "Check Responses".
    ResponseWatch responseWatch;
    LogSink logRoute;
    HexSink hexRoute;
    std::function<void(const std::string&)> showReceivedRoute;
    PortConnection port;
    RawTransfer transfer;
};

}  // namespace brantel
