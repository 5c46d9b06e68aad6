#pragma once

#include <QSocketNotifier>
#include <functional>
#include <memory>

namespace brantel::run {

// SIGINT and SIGTERM (Ctrl+C, and how a CI job is cancelled) end the run in order rather than
// at once, so its report is still written. The signal wakes the event loop, which calls
// `onStop` once; a second signal ends the program at once, as without this.
class StopSignals {
  public:
    explicit StopSignals(std::function<void()> onStop);
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // The signal caught, 0 before any.
    static int Caught();

  private:
    std::unique_ptr<QSocketNotifier> notifier_;
    std::function<void()> onStop_;
};

// The exit status a shell gives a program ended by the signal: 128 + its number.
int SignalExitStatus(int signal);

// "SIGINT", "SIGTERM".
const char* SignalName(int signal);

}  // namespace brantel::run
