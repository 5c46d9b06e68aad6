#pragma once

#include <netinet/in.h>

#include <QProcess>
#include <cstdint>
#include <string>

#include "support/scratch_dir.h"

namespace brantel::test {

// Debian's ser2net serving one serial device on 127.0.0.1, on two free ports: as a raw TCP
// stream and in telnet(rfc2217) mode.
class Ser2netServer {
  public:
    // The installed ser2net, or empty when there is none.
    static std::string Program();

    // The line the tool runs, in ser2net's words.
    static constexpr const char* kToolsLine = "9600n81";

    // Starts the server, its device's line at `line` (ser2net's speed, parity, data bits and
    // stop bits, then options such as rtscts or xonxoff); throws std::runtime_error when it is
    // not listening within 5 s.
    Ser2netServer(const std::string& device, const std::string& line);
    ~Ser2netServer();
    Ser2netServer(const Ser2netServer&) = delete;
    Ser2netServer& operator=(const Ser2netServer&) = delete;

    // The [Ports] values that reach the device.
    std::string RawAddress() const;
    std::string Rfc2217Address() const;
    std::uint16_t RawPort() const { return rawPort_; }
    std::uint16_t Rfc2217Port() const { return rfc2217Port_; }
    // Ends the server at once (SIGKILL): its connections drop.
    void Kill();

  private:
    ScratchDir scratch_;
    std::uint16_t rawPort_;
    std::uint16_t rfc2217Port_;
    QProcess process_;
};

// The address 127.0.0.1:port.
sockaddr_in Loopback(std::uint16_t port);
// A TCP socket bound to a free port on 127.0.0.1, and that port; throws std::runtime_error when
// none can be made.
int BindLoopback(std::uint16_t& port);
// A port on 127.0.0.1 that nothing listens on, for now.
std::uint16_t FreeTcpPort();

}  // namespace brantel::test
