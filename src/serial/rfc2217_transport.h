#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "serial/tcp_transport.h"
#include "telnet/com_port_client.h"

namespace brantel {

// A serial server spoken to by Telnet with the COM-PORT-OPTION (RFC 2217): Open asks the
// server for the line's settings and waits for its answers, RTS follows the writes through
// the option's control commands, and the line's bytes cross the Telnet stream escaped.
class Rfc2217Transport : public TcpTransport {
    Q_OBJECT
  public:
    using TcpTransport::TcpTransport;

    int Write(std::string_view piece) override;
    std::string Read(int most) override;
    void BeforeSend() override;
    void AfterSend() override;

  protected:
    bool Configure(const LineSettings& line) override;

  private:
    using Clock = std::chrono::steady_clock;

    // Decodes what the connection has received, at most `most` bytes of it, into `held_`, and
    // answers the server at once.
    void Receive(qint64 most);

    std::unique_ptr<ComPortClient> client_;
    // The line's data decoded but not yet taken by a read.
    std::string held_;
    LineSettings line_;
    // When the bytes handed to the server will have left its line, going by the line's speed.
    Clock::time_point lineFreeAt_;
};

}  // namespace brantel
