// startup_clock TITLE COMMAND [ARGS...]: starts COMMAND on the X display of $DISPLAY and prints
// one line with three numbers: the nanoseconds from just before the start until a top-level
// window whose title contains TITLE is mapped, then the program's peak and resident memory
// (VmHWM and VmRSS, in kB) one second after that. The window is then closed as a user closes it
// (the window manager's delete request), so the program ends its own way; SIGTERM follows when
// it is still there 3 s later, and SIGKILL 3 s after that.
//
// The map is taken from the X server's own notification, so nothing polls while the program
// starts and the clock costs the program under test no processor time.
//
// Exit status 1 when no such window is mapped within 30 s or the program ends before; 2 for
// bad arguments or no display.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto kMapPatience = 30s;
constexpr auto kSettle = 1s;
constexpr auto kStopPatience = 3s;

// A window may vanish between its notification and the query of its title.
int IgnoreXErrors(Display*, XErrorEvent*) {
    return 0;
}

std::string Title(Display* display, Window window) {
    const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(display, window, netName, 0, 1024, False, utf8, &type, &format, &count,
                           &after, &data) == Success &&
        data != nullptr) {
        title.assign(reinterpret_cast<const char*>(data), count);
    }
    if (data != nullptr) {
        XFree(data);
    }
    char* name = nullptr;
    if (title.empty() && XFetchName(display, window, &name) != 0 && name != nullptr) {
        title = name;
        XFree(name);
    }
    return title;
}

long StatusKilobytes(pid_t pid, const std::string& field) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(field + ":", 0) == 0) {
            return std::stol(line.substr(field.size() + 1));
        }
    }
    return -1;
}

bool Ended(pid_t pid) {
    int status = 0;
    return waitpid(pid, &status, WNOHANG) == pid;
}

bool EndsWithin(pid_t pid, Clock::duration patience) {
    const Clock::time_point end = Clock::now() + patience;
    while (!Ended(pid)) {
        if (Clock::now() >= end) {
            return false;
        }
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

void Stop(pid_t pid) {
    kill(pid, SIGTERM);
    if (!EndsWithin(pid, kStopPatience)) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
}

// Asks the window to close, as a window manager does for the title bar's close button.
void RequestClose(Display* display, Window window) {
    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = window;
    close.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    close.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &close);
    XFlush(display);
}

// Waits for the notification that a top-level window with the title is mapped; the window, or
// None when the program ends or the time is up first.
Window AwaitMappedWindow(Display* display, const std::string& wanted, pid_t pid) {
    const Window root = DefaultRootWindow(display);
    const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    std::set<Window> mappedUntitled;
    const Clock::time_point end = Clock::now() + kMapPatience;
    while (Clock::now() < end && !Ended(pid)) {
        pollfd connection{ConnectionNumber(display), POLLIN, 0};
        poll(&connection, 1, 50);
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            Window window = None;
            if (event.type == MapNotify && event.xmap.event == root) {
                window = event.xmap.window;
            } else if (event.type == PropertyNotify &&
                       mappedUntitled.count(event.xproperty.window) &&
                       (event.xproperty.atom == XA_WM_NAME || event.xproperty.atom == netName)) {
                window = event.xproperty.window;
            }
            if (window == None) {
                continue;
            }
            if (Title(display, window).find(wanted) != std::string::npos) {
                return window;
            }
            // Mapped before its title was set: the title may still come.
            if (mappedUntitled.insert(window).second) {
                XSelectInput(display, window, PropertyChangeMask);
            }
        }
    }
    return None;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: startup_clock TITLE COMMAND [ARGS...]\n", stderr);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fputs("startup_clock: cannot open the X display\n", stderr);
        return 2;
    }
    XSetErrorHandler(IgnoreXErrors);
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);

    const Clock::time_point start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        close(ConnectionNumber(display));
        execvp(argv[2], argv + 2);
        _exit(127);
    }
    const Window window = AwaitMappedWindow(display, argv[1], pid);
    if (window == None) {
        std::fprintf(stderr, "startup_clock: no window titled '%s' from %s\n", argv[1], argv[2]);
        Stop(pid);
        return 1;
    }
    const auto mapped = Clock::now() - start;
    std::this_thread::sleep_for(kSettle);
    const long peak = StatusKilobytes(pid, "VmHWM");
    const long resident = StatusKilobytes(pid, "VmRSS");
    RequestClose(display, window);
    if (!EndsWithin(pid, kStopPatience)) {
        std::fprintf(stderr, "startup_clock: %s did not close its window; stopped\n", argv[2]);
        Stop(pid);
    }
    XCloseDisplay(display);
    std::printf("%lld %ld %ld\n", static_cast<long long>(std::chrono::nanoseconds(mapped).count()),
                peak, resident);
    return 0;
}
