#include "stop_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <csignal>

namespace brantel::run {
namespace {

volatile std::sig_atomic_t caught = 0;
// The self-pipe: the handler writes a byte, the notifier reads it in the event loop.
int wakeFds[2] = {-1, -1};

extern "C" void OnSignal(int signal) {
    caught = signal;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(wakeFds[1], &byte, 1);
}

constexpr int kSignals[] = {SIGINT, SIGTERM};

}  // namespace

StopSignals::StopSignals(std::function<void()> onStop) : onStop_(std::move(onStop)) {
    if (pipe2(wakeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    notifier_ = std::make_unique<QSocketNotifier>(wakeFds[0], QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
        char byte = 0;
        while (read(wakeFds[0], &byte, 1) > 0) {
        }
        notifier_->setEnabled(false);
        onStop_();
    });
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    // The first signal stops the run in order; a second one ends it as the default does.
    action.sa_flags = SA_RESETHAND;
    for (const int signal : kSignals) {
        sigaction(signal, &action, nullptr);
    }
}

StopSignals::~StopSignals() {
    for (const int signal : kSignals) {
        std::signal(signal, SIG_DFL);
    }
    notifier_.reset();
    for (int& fd : wakeFds) {
        if (fd >= 0) {
            close(fd);
            fd = -1;
        }
    }
}

int StopSignals::Caught() {
    return caught;
}

int SignalExitStatus(int signal) {
    return 128 + signal;
}

const char* SignalName(int signal) {
    return signal == SIGINT ? "SIGINT" : signal == SIGTERM ? "SIGTERM" : "a signal";
}

}  // namespace brantel::run
