#pragma once

#include <QDeadlineTimer>
#include <QTcpSocket>
#include <chrono>
#include <functional>
#include <string>

#include "serial/port_transport.h"

namespace brantel {

// A serial server on the network that passes the line's bytes as they are over TCP. Its line
// settings are the server's own; Open only connects.
class TcpTransport : public PortTransport {
    Q_OBJECT
  public:
    // The longest an Open may take, connecting and configuring together.
    static constexpr int kOpenMilliseconds = 3000;
    // What a server's closing the connection at once while it opens usually means.
    static constexpr std::string_view kServerStillHolds =
        " (a serial server does so while it still holds the device for a client that has just "
        "left; try again in a moment)";

    // `openTime` bounds an Open; tests shorten it.
    TcpTransport(std::string host, std::uint16_t port,
                 std::chrono::milliseconds openTime = std::chrono::milliseconds(kOpenMilliseconds));

    bool Open(const LineSettings& line) override;
    void Close() override;
    void Abort() override;
    int Write(std::string_view piece) override;
    std::string Read(int most) override;

  protected:
    // Sets the line up once connected; false with `failure_` said when it cannot be. A raw
    // stream has no way to: the server's own settings stay.
    virtual bool Configure(const LineSettings& line);
    // Runs the event loop, with user input held back, until `done` holds; false when the
    // connection failed or was given up, or the open's time ran out (`failure_` says which).
    bool WaitFor(const std::function<bool()>& done);
    // Hands bytes of the protocol itself to the connection, without waiting.
    void Send(const std::string& bytes);
    bool Connected() const;

    QTcpSocket socket_;

  private:
    bool Connect();
    // Why the connection failed or ended while opening, in the system's words and what it
    // usually means.
    std::string ConnectionFailure();
    // "3 s": the open's time as a failure names it.
    std::string OpenTimeText() const;

    std::string host_;
    std::uint16_t port_;
    std::chrono::milliseconds openTime_;
    QDeadlineTimer openDeadline_;
    bool aborted_ = false;
};

}  // namespace brantel
