#pragma once

#include <chrono>
#include <string>

namespace brantel::test {

// Up to `count` bytes from a terminal, as many as arrive before the time is up.
std::string ReadWithin(int fd, std::size_t count, std::chrono::milliseconds within);

// A raw pseudo-terminal pair. The slave stays open so the master never reads a hang-up between
// two opens of the port, and is raw so nothing is echoed or translated before the program
// configures the line. Throws std::system_error when no terminal can be made.
struct RawPty {
    int master = -1;
    int slave = -1;
    std::string slavePath;
};
RawPty OpenRawPty();

// A pseudo-terminal whose master side plays the serial device; the program under test opens
// the slave path as its port.
class PtyDevice {
  public:
    PtyDevice();
    ~PtyDevice();
    PtyDevice(const PtyDevice&) = delete;
    PtyDevice& operator=(const PtyDevice&) = delete;

    const std::string& SlavePath() const { return slavePath_; }

    // The bytes the program sent, up to `count` of them, as many as arrive before the deadline.
    std::string Read(std::size_t count,
                     std::chrono::milliseconds deadline = std::chrono::milliseconds(2000));
    // Everything that arrives within `quiet` (to show that nothing more was sent).
    std::string ReadFor(std::chrono::milliseconds quiet);
    // The device sends bytes to the program.
    void Write(const std::string& bytes);
    // The device vanishes: the program's side of the line hangs up.
    void Close();

  private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};

}  // namespace brantel::test
