#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace brantel {

// Byte values of the Telnet protocol and the options a serial line over Telnet uses.
namespace telnet {
inline constexpr unsigned char kIac = 255;
inline constexpr unsigned char kDont = 254;
inline constexpr unsigned char kDo = 253;
inline constexpr unsigned char kWont = 252;
inline constexpr unsigned char kWill = 251;
inline constexpr unsigned char kSb = 250;
inline constexpr unsigned char kSe = 240;
inline constexpr unsigned char kCr = 13;
inline constexpr unsigned char kBinary = 0;
inline constexpr unsigned char kSuppressGoAhead = 3;
inline constexpr unsigned char kComPortOption = 44;
}  // namespace telnet

// Data as it goes into a Telnet stream: 0xFF doubled, and outside binary mode a CR followed by
// NUL, so that every byte arrives as it was.
std::string EscapeTelnetData(std::string_view data, bool binary);

// One piece of a Telnet stream.
struct TelnetEvent {
    enum class Kind { kNone, kData, kNegotiation, kSubnegotiation };
    Kind kind = Kind::kNone;
    // kData: the data byte. kNegotiation: the verb (WILL, WONT, DO or DONT).
    unsigned char byte = 0;
    // kNegotiation: the option.
    unsigned char option = 0;
    // kSubnegotiation: the option and its parameters, unescaped; valid until the next Feed.
    std::string_view payload;
};

// Splits a Telnet stream, byte by byte, into data bytes, option negotiations and
// subnegotiations. The other commands (NOP, GA, BRK, ...) carry nothing for a serial line and
// are dropped.
class TelnetDecoder {
  public:
    // The longest subnegotiation kept; a longer one is dropped whole, so a misbehaving sender
    // cannot make the decoder grow.
    static constexpr std::size_t kMaxSubnegotiation = 256;

    // `binary`: whether the sender is in binary mode; outside it a NUL after CR is padding.
    TelnetEvent Feed(unsigned char byte, bool binary);

  private:
    enum class State { kData, kCommand, kOption, kSubnegotiation, kSubnegotiationCommand };

    TelnetEvent Data(unsigned char byte, bool binary);
    TelnetEvent Command(unsigned char byte);
    void Keep(unsigned char byte);

    State state_ = State::kData;
    unsigned char verb_ = 0;
    bool afterCr_ = false;
    bool tooLong_ = false;
    std::string payload_;
};

}  // namespace brantel
