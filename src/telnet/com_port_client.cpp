#include "telnet/com_port_client.h"

#include <utility>

namespace brantel {
namespace {

using namespace telnet;

// Commands of the COM-PORT-OPTION; the server answers each with the code plus 100.
constexpr unsigned char kSetBaudRate = 1;
constexpr unsigned char kSetDataSize = 2;
constexpr unsigned char kSetParity = 3;
constexpr unsigned char kSetStopSize = 4;
constexpr unsigned char kSetControl = 5;
constexpr unsigned char kServerAnswer = 100;

constexpr unsigned char kEightBits = 8;
constexpr unsigned char kNoParity = 1;
constexpr unsigned char kOneStopBit = 1;
// SET-CONTROL values.
constexpr unsigned char kNoFlowControl = 1;
constexpr unsigned char kDtrOn = 8;
constexpr unsigned char kRtsOn = 11;
constexpr unsigned char kRtsOff = 12;

// The SET-CONTROL answers that report outbound flow control; the others report DTR, RTS,
// BREAK or inbound flow control.
bool IsFlowControlValue(unsigned char value) {
    return (value >= 1 && value <= 3) || (value >= 17 && value <= 19);
}

std::string ComPortCommand(unsigned char command, std::string_view value) {
    std::string bytes = {static_cast<char>(kIac), static_cast<char>(kSb),
                         static_cast<char>(kComPortOption), static_cast<char>(command)};
    // Inside a subnegotiation 0xFF is doubled like data, and a CR is no line end.
    bytes += EscapeTelnetData(value, true);
    bytes += {static_cast<char>(kIac), static_cast<char>(kSe)};
    return bytes;
}

std::string OneByte(unsigned char value) {
    return std::string(1, static_cast<char>(value));
}

std::string BigEndian(std::uint32_t value) {
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
            static_cast<char>(value >> 8), static_cast<char>(value)};
}

std::uint32_t ReadBigEndian(std::string_view bytes) {
    std::uint32_t value = 0;
    for (const char c : bytes) {
        value = (value << 8) | static_cast<unsigned char>(c);
    }
    return value;
}

}  // namespace

ComPortClient::ComPortClient(std::uint32_t baud)
    : baud_(baud),
      options_({kBinary, kSuppressGoAhead, kComPortOption}, {kBinary, kSuppressGoAhead}) {}

std::string ComPortClient::Start() {
    return options_.Offer(kComPortOption) + options_.Offer(kBinary) + options_.Ask(kBinary) +
           options_.Offer(kSuppressGoAhead) + options_.Ask(kSuppressGoAhead);
}

void ComPortClient::Receive(std::string_view bytes, std::string& data) {
    for (const char c : bytes) {
        const bool binary = options_.Theirs(kBinary) == OptionNegotiation::State::kOn;
        const TelnetEvent event = decoder_.Feed(static_cast<unsigned char>(c), binary);
        switch (event.kind) {
            case TelnetEvent::Kind::kData:
                data.push_back(static_cast<char>(event.byte));
                break;
            case TelnetEvent::Kind::kNegotiation:
                Negotiated(event.byte, event.option);
                break;
            case TelnetEvent::Kind::kSubnegotiation:
                Subnegotiated(event.payload);
                break;
            case TelnetEvent::Kind::kNone:
                break;
        }
    }
}

std::string ComPortClient::TakeOutgoing() {
    return std::exchange(outgoing_, {});
}

std::string ComPortClient::Encode(std::string_view data) const {
    return EscapeTelnetData(data, options_.Ours(kBinary) == OptionNegotiation::State::kOn);
}

std::string ComPortClient::SetRts(bool raised) {
    return ComPortCommand(kSetControl, OneByte(raised ? kRtsOn : kRtsOff));
}

ComPortClient::Line ComPortClient::LineState() const {
    if (options_.Ours(kComPortOption) == OptionNegotiation::State::kOff) {
        return Line::kRefused;
    }
    if (!baudAnswer_ || !dataSizeAnswer_ || !parityAnswer_ || !stopSizeAnswer_ || !flowAnswer_) {
        return Line::kPending;
    }
    const bool asked = *baudAnswer_ == baud_ && *dataSizeAnswer_ == kEightBits &&
                       *parityAnswer_ == kNoParity && *stopSizeAnswer_ == kOneStopBit &&
                       *flowAnswer_ == kNoFlowControl;
    return asked ? Line::kConfigured : Line::kRefused;
}

void ComPortClient::Negotiated(unsigned char verb, unsigned char option) {
    outgoing_ += options_.Answer(verb, option);
    // The option's commands may follow only once the server has accepted it.
    if (!settingsSent_ && options_.Ours(kComPortOption) == OptionNegotiation::State::kOn) {
        settingsSent_ = true;
        outgoing_ += ComPortCommand(kSetBaudRate, BigEndian(baud_)) +
                     ComPortCommand(kSetDataSize, OneByte(kEightBits)) +
                     ComPortCommand(kSetParity, OneByte(kNoParity)) +
                     ComPortCommand(kSetStopSize, OneByte(kOneStopBit)) +
                     ComPortCommand(kSetControl, OneByte(kNoFlowControl)) +
                     ComPortCommand(kSetControl, OneByte(kDtrOn)) + SetRts(false);
    }
}

void ComPortClient::Subnegotiated(std::string_view payload) {
    // What a server reports before it was asked is no answer to the tool's settings.
    if (!settingsSent_ || payload.size() < 3 ||
        static_cast<unsigned char>(payload[0]) != kComPortOption) {
        return;
    }
    const auto command = static_cast<unsigned char>(payload[1]);
    const std::string_view value = payload.substr(2);
    const auto byte = static_cast<unsigned char>(value[0]);
    switch (command) {
        case kServerAnswer + kSetBaudRate:
            if (value.size() == 4) {
                baudAnswer_ = ReadBigEndian(value);
            }
            break;
        case kServerAnswer + kSetDataSize:
            dataSizeAnswer_ = byte;
            break;
        case kServerAnswer + kSetParity:
            parityAnswer_ = byte;
            break;
        case kServerAnswer + kSetStopSize:
            stopSizeAnswer_ = byte;
            break;
        case kServerAnswer + kSetControl:
            if (IsFlowControlValue(byte)) {
                flowAnswer_ = byte;
            }
            break;
        default:
            // Notifications of line and modem state, and flow-control requests, ask nothing
            // of a client that only writes on demand.
            break;
    }
}

}  // namespace brantel
