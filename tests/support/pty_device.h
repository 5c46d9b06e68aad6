#pragma once

#include <termios.h>

#include <chrono>
#include <string>

namespace brantel::test {

// Up to `count` bytes from a terminal, as many as arrive before the time is up.
std::string ReadWithin(int fd, std::size_t count, std::chrono::milliseconds within);

// A raw pseudo-terminal pair, closed with the object. The slave stays open so the master never
// reads a hang-up between two opens of the port, and is raw so nothing is echoed or translated
// before the program configures the line. Throws std::system_error when no terminal can be made.
class RawPty {
  public:
    RawPty();
    ~RawPty();
    RawPty(const RawPty&) = delete;
    RawPty& operator=(const RawPty&) = delete;

    // The device's side; -1 once closed.
    int Master() const { return master_; }
    const std::string& SlavePath() const { return slavePath_; }
    // Closes both sides: the device vanishes.
    void Close();

  private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};

// A pseudo-terminal whose master side plays the serial device; the program under test opens
// the slave path as its port.
class PtyDevice {
  public:
    PtyDevice() = default;

    const std::string& SlavePath() const { return line_.SlavePath(); }

    // The bytes the program sent, up to `count` of them, as many as arrive before the deadline.
    std::string Read(std::size_t count,
                     std::chrono::milliseconds deadline = std::chrono::milliseconds(2000));
    // Everything that arrives within `quiet` (to show that nothing more was sent).
    std::string ReadFor(std::chrono::milliseconds quiet);
    // The device sends bytes to the program.
    void Write(const std::string& bytes);
    // Whether the line takes a few more bytes now: a device that streams writes only then, so
    // a full line never blocks the test while the program's reads wait on the event loop.
    bool Writable() const;
    // The device vanishes: the program's side of the line hangs up.
    void Close();
    // The line settings whoever opened the line last gave it (speed, data bits, parity...).
    termios LineSettings() const;

  private:
    RawPty line_;
};

}  // namespace brantel::test
