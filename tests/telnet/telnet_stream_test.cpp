#include "telnet/telnet_stream.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "telnet_bytes.h"

namespace brantel::test {
namespace {

using std::string_literals::operator""s;

// The events of a stream, written "D41" for a data byte, "N fb 2c" for a negotiation and
// "S 2c 65 .." for a subnegotiation.
std::vector<std::string> Events(const std::string& stream, bool binary) {
    TelnetDecoder decoder;
    std::vector<std::string> events;
    for (const char c : stream) {
        const TelnetEvent event = decoder.Feed(static_cast<unsigned char>(c), binary);
        switch (event.kind) {
            case TelnetEvent::Kind::kData:
                events.push_back("D" + Trace(std::string(1, static_cast<char>(event.byte))));
                break;
            case TelnetEvent::Kind::kNegotiation:
                events.push_back("N " + Trace(Bytes({event.byte, event.option})));
                break;
            case TelnetEvent::Kind::kSubnegotiation:
                events.push_back("S " + Trace(event.payload));
                break;
            case TelnetEvent::Kind::kNone:
                break;
        }
    }
    return events;
}

struct DecodeCase {
    const char* name;
    std::string stream;
    bool binary;
    std::vector<std::string> events;
};

TEST(TelnetDecoder, SplitsTheStreamIntoDataNegotiationsAndSubnegotiations) {
    const std::string longOption(TelnetDecoder::kMaxSubnegotiation + 1, 'x');
    const DecodeCase cases[] = {
        {"plain data", "AB", true, {"D41 ", "D42 "}},
        {"doubled 0xFF is one data byte", Bytes({255, 255, 0x41}), true, {"Dff ", "D41 "}},
        {"negotiation", Bytes({255, 253, 44, 0x41}), true, {"N fd 2c ", "D41 "}},
        {"other commands carry nothing",
         Bytes({255, 241, 255, 249, 255, 243, 0x41}),
         true,
         {"D41 "}},
        {"subnegotiation",
         Bytes({255, 250, 44, 101, 0, 0, 37, 128, 255, 240}),
         true,
         {"S 2c 65 00 00 25 80 "}},
        {"0xFF inside a subnegotiation",
         Bytes({255, 250, 44, 101, 0, 0, 255, 255, 255, 240}),
         true,
         {"S 2c 65 00 00 ff "}},
        {"subnegotiation cut short by a command",
         Bytes({255, 250, 44, 101, 255, 253, 0, 0x41}),
         true,
         {"N fd 00 ", "D41 "}},
        {"over-long subnegotiation dropped whole",
         Bytes({255, 250}) + longOption + Bytes({255, 240, 0x41}),
         true,
         {"D41 "}},
        {"NUL after CR is padding outside binary mode",
         "\r\0\r\n\0"s,
         false,
         {"D0d ", "D0d ", "D0a ", "D00 "}},
        {"NUL after CR is data in binary mode", "\r\0"s, true, {"D0d ", "D00 "}},
        {"0xFF then NUL outside binary mode", Bytes({255, 255, 0}), false, {"Dff ", "D00 "}},
    };
    for (const DecodeCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Events(c.stream, c.binary), c.events);
    }
}

}  // namespace
}  // namespace brantel::test
