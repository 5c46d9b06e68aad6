#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/line_settings.h"
#include "telnet/option_negotiation.h"
#include "telnet/telnet_stream.h"

namespace brantel {

// The client end of a Telnet session that carries a serial line with the COM-PORT-OPTION
// (RFC 2217). It offers the option and binary mode both ways; once the server accepts the
// option it asks for the port's line (speed, data bits, parity, stop bits, flow control), DTR
// raised and RTS lowered. The server's answers tell whether the line runs so; everything else
// the server sends is the line's data.
class ComPortClient {
  public:
    enum class Line { kPending, kConfigured, kRefused };

    explicit ComPortClient(const LineSettings& line);

    // What opens the session: the offers of the options.
    std::string Start();
    // Takes bytes the server sent; the line's data among them is appended to `data`.
    void Receive(std::string_view bytes, std::string& data);
    // The bytes due to the server (negotiation answers, the line settings), handed over once.
    std::string TakeOutgoing();

    // The line's data as it goes to the server.
    std::string Encode(std::string_view data) const;
    // The command that raises or lowers RTS.
    static std::string SetRts(bool raised);

    // After Start: pending until the server has answered every line setting; refused when it
    // declined the option or answered a setting with another value.
    Line LineState() const;

  private:
    void Negotiated(unsigned char verb, unsigned char option);
    void Subnegotiated(std::string_view payload);

    LineSettings line_;
    OptionNegotiation options_;
    TelnetDecoder decoder_;
    std::string outgoing_;
    bool settingsSent_ = false;
    std::optional<std::uint32_t> baudAnswer_;
    std::optional<unsigned char> dataSizeAnswer_;
    std::optional<unsigned char> parityAnswer_;
    std::optional<unsigned char> stopSizeAnswer_;
    std::optional<unsigned char> flowAnswer_;
};

}  // namespace brantel
