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

// SET-CONTROL values.
constexpr unsigned char kDtrOn = 8;
constexpr unsigned char kRtsOn = 11;
constexpr unsigned char kRtsOff = 12;

// The SET-CONTROL answers that report outbound flow control; the others report DTR, RTS,
// BREAK or inbound flow control.
bool IsFlowControlValue(unsigned char value) {
    return (value >= 1 && value <= 3) || (value >= 17 && value <= 19);
}

// The option's codes for the line's settings.
unsigned char ParityCode(LineSettings::Parity parity) {
    switch (parity) {
        case LineSettings::Parity::kOdd:
            return 2;
        case LineSettings::Parity::kEven:
            return 3;
        case LineSettings::Parity::kMark:
            return 4;
        case LineSettings::Parity::kSpace:
            return 5;
        case LineSettings::Parity::kNone:
            break;
    }
    return 1;
}

unsigned char StopSizeCode(LineSettings::StopBits stopBits) {
    switch (stopBits) {
        case LineSettings::StopBits::kTwo:
            return 2;
        case LineSettings::StopBits::kOneAndHalf:
            return 3;
        case LineSettings::StopBits::kOne:
            break;
    }
    return 1;
}

// SET-CONTROL's outbound flow control, which the servers apply both ways.
unsigned char FlowCode(LineSettings::Flow flow) {
    switch (flow) {
        case LineSettings::Flow::kXonXoff:
            return 2;
        case LineSettings::Flow::kRtsCts:
            return 3;
        case LineSettings::Flow::kNone:
            break;
    }
    return 1;
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

ComPortClient::ComPortClient(const LineSettings& line)
    : line_(line),
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
    const bool asked = *baudAnswer_ == line_.speed &&
                       *dataSizeAnswer_ == static_cast<unsigned char>(line_.dataBits) &&
                       *parityAnswer_ == ParityCode(line_.parity) &&
                       *stopSizeAnswer_ == StopSizeCode(line_.stopBits) &&
                       *flowAnswer_ == FlowCode(line_.flow);
    return asked ? Line::kConfigured : Line::kRefused;
}

void ComPortClient::Negotiated(unsigned char verb, unsigned char option) {
    outgoing_ += options_.Answer(verb, option);
    // The option's commands may follow only once the server has accepted it.
    if (!settingsSent_ && options_.Ours(kComPortOption) == OptionNegotiation::State::kOn) {
        settingsSent_ = true;
        outgoing_ +=
            ComPortCommand(kSetBaudRate, BigEndian(line_.speed)) +
            ComPortCommand(kSetDataSize, OneByte(static_cast<unsigned char>(line_.dataBits))) +
            ComPortCommand(kSetParity, OneByte(ParityCode(line_.parity))) +
            ComPortCommand(kSetStopSize, OneByte(StopSizeCode(line_.stopBits))) +
            ComPortCommand(kSetControl, OneByte(FlowCode(line_.flow))) +
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
