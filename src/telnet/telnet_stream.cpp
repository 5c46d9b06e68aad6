#include "telnet/telnet_stream.h"

namespace brantel {

using namespace telnet;

std::string EscapeTelnetData(std::string_view data, bool binary) {
    std::string escaped;
    escaped.reserve(data.size());
    for (const char c : data) {
        escaped.push_back(c);
        const auto byte = static_cast<unsigned char>(c);
        if (byte == kIac) {
            escaped.push_back(c);
        } else if (byte == kCr && !binary) {
            escaped.push_back('\0');
        }
    }
    return escaped;
}

TelnetEvent TelnetDecoder::Feed(unsigned char byte, bool binary) {
    switch (state_) {
        case State::kData:
            return Data(byte, binary);
        case State::kCommand:
            return Command(byte);
        case State::kOption:
            state_ = State::kData;
            return {TelnetEvent::Kind::kNegotiation, verb_, byte, {}};
        case State::kSubnegotiation:
            if (byte == kIac) {
                state_ = State::kSubnegotiationCommand;
            } else {
                Keep(byte);
            }
            return {};
        case State::kSubnegotiationCommand:
            if (byte == kIac) {
                state_ = State::kSubnegotiation;
                Keep(byte);
                return {};
            }
            if (byte == kSe) {
                state_ = State::kData;
                if (tooLong_) {
                    return {};
                }
                return {TelnetEvent::Kind::kSubnegotiation, 0, 0, payload_};
            }
            // A subnegotiation cut short by another command: the command counts, the rest
            // of the subnegotiation is lost.
            return Command(byte);
    }
    return {};
}

TelnetEvent TelnetDecoder::Data(unsigned char byte, bool binary) {
    if (byte == kIac) {
        state_ = State::kCommand;
        return {};
    }
    const bool padding = afterCr_ && byte == 0 && !binary;
    afterCr_ = byte == kCr;
    if (padding) {
        return {};
    }
    return {TelnetEvent::Kind::kData, byte, 0, {}};
}

TelnetEvent TelnetDecoder::Command(unsigned char byte) {
    afterCr_ = false;
    switch (byte) {
        case kIac:
            state_ = State::kData;
            return {TelnetEvent::Kind::kData, byte, 0, {}};
        case kWill:
        case kWont:
        case kDo:
        case kDont:
            verb_ = byte;
            state_ = State::kOption;
            return {};
        case kSb:
            payload_.clear();
            tooLong_ = false;
            state_ = State::kSubnegotiation;
            return {};
        default:
            state_ = State::kData;
            return {};
    }
}

void TelnetDecoder::Keep(unsigned char byte) {
    if (payload_.size() < kMaxSubnegotiation) {
        payload_.push_back(static_cast<char>(byte));
    } else {
        tooLong_ = true;
    }
}

}  // namespace brantel
