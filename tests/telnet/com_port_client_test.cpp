#include "telnet/com_port_client.h"

#include <gtest/gtest.h>

#include <string>

#include "telnet_bytes.h"

namespace brantel::test {
namespace {

using Line = ComPortClient::Line;

// What ser2net 4 sends a client in telnet(rfc2217) mode as it connects: WILL and DO
// SUPPRESS-GO-AHEAD, WILL and DONT ECHO, DO and WILL BINARY, DO COM-PORT-OPTION.
const std::string kServerGreeting = Bytes(
    {255, 251, 3, 255, 253, 3, 255, 251, 1, 255, 254, 1, 255, 253, 0, 255, 251, 0, 255, 253, 44});

std::string Answer(std::initializer_list<int> commandAndValue) {
    return Bytes({255, 250, 44}) + Bytes(commandAndValue) + Bytes({255, 240});
}

// ser2net's answers to 9600 baud, 8 data bits, no parity, one stop bit, no flow control,
// after a notification of the modem lines.
const std::string kSettingsAnswered = Answer({107, 0}) + Answer({101, 0, 0, 0x25, 0x80}) +
                                      Answer({102, 8}) + Answer({103, 1}) + Answer({104, 1}) +
                                      Answer({105, 1});

// SET-BAUDRATE 9600, SET-DATASIZE 8, SET-PARITY NONE, SET-STOPSIZE 1, SET-CONTROL no flow
// control, DTR on, RTS off.
const std::string kSettingsAsked = Answer({1, 0, 0, 0x25, 0x80}) + Answer({2, 8}) + Answer({3, 1}) +
                                   Answer({4, 1}) + Answer({5, 1}) + Answer({5, 8}) +
                                   Answer({5, 12});

TEST(ComPortClient, OffersTheOptionAndAsksForTheLineOnceAccepted) {
    ComPortClient client(LineSettings{});
    EXPECT_EQ(Trace(client.Start()),
              Trace(Bytes({255, 251, 44, 255, 251, 0, 255, 253, 0, 255, 251, 3, 255, 253, 3})));
    std::string data;
    client.Receive(kServerGreeting, data);
    // Only ECHO is refused; the rest answer the client's own offers.
    EXPECT_EQ(Trace(client.TakeOutgoing()), Trace(Bytes({255, 254, 1}) + kSettingsAsked));
    EXPECT_EQ(client.LineState(), Line::kPending);
    client.Receive(kSettingsAnswered, data);
    EXPECT_EQ(client.LineState(), Line::kConfigured);
    EXPECT_EQ(client.TakeOutgoing(), "");
    EXPECT_EQ(data, "");
}

// The port's own line: 19200 baud, 7 data bits, even parity, two stop bits, RTS/CTS; each
// parity, stop size and flow code as the option numbers them.
TEST(ComPortClient, AsksForThePortsLineAndTakesOnlyThatAsAnswer) {
    const struct {
        const char* line;
        std::string asked;
    } cases[] = {
        {"19200 7E2 RTS/CTS", Answer({1, 0, 0, 0x4B, 0}) + Answer({2, 7}) + Answer({3, 3}) +
                                  Answer({4, 2}) + Answer({5, 3})},
        {"300 5O1.5 XON/XOFF", Answer({1, 0, 0, 0x01, 0x2C}) + Answer({2, 5}) + Answer({3, 2}) +
                                   Answer({4, 3}) + Answer({5, 2})},
        {"9600 6M1", Answer({1, 0, 0, 0x25, 0x80}) + Answer({2, 6}) + Answer({3, 4}) +
                         Answer({4, 1}) + Answer({5, 1})},
        {"9600 8S1", Answer({1, 0, 0, 0x25, 0x80}) + Answer({2, 8}) + Answer({3, 5}) +
                         Answer({4, 1}) + Answer({5, 1})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        ComPortClient client(ParseLineSettings(c.line));
        client.Start();
        std::string data;
        client.Receive(Bytes({255, 253, 44}), data);
        EXPECT_EQ(Trace(client.TakeOutgoing()), Trace(c.asked + Answer({5, 8}) + Answer({5, 12})));
        // The server answers each command with its code plus 100 and the value it runs.
        std::string answered = c.asked;
        for (std::size_t at = 0;
             (at = answered.find(Bytes({255, 250, 44}), at)) != std::string::npos; at += 4) {
            answered[at + 3] = static_cast<char>(answered[at + 3] + 100);
        }
        client.Receive(answered, data);
        EXPECT_EQ(client.LineState(), Line::kConfigured);

        ComPortClient standard{LineSettings{}};
        standard.Start();
        standard.Receive(Bytes({255, 253, 44}) + answered, data);
        EXPECT_EQ(standard.LineState(), Line::kRefused);
    }
}

struct LineCase {
    const char* name;
    std::uint32_t baud;
    std::string received;
    Line line;
};

TEST(ComPortClient, TheLineCountsAsSetOnlyWhenEverySettingIsAnsweredAsAsked) {
    const std::string accepted = Bytes({255, 253, 44});
    const LineCase cases[] = {
        {"ser2net", 9600, kServerGreeting + kSettingsAnswered, Line::kConfigured},
        {"no answer yet", 9600, kServerGreeting, Line::kPending},
        {"nothing at all", 9600, "", Line::kPending},
        {"option refused", 9600, Bytes({255, 254, 44}), Line::kRefused},
        {"another speed", 9600,
         accepted + Answer({101, 0, 1, 0xC2, 0}) + Answer({102, 8}) + Answer({103, 1}) +
             Answer({104, 1}) + Answer({105, 1}),
         Line::kRefused},
        {"even parity", 9600,
         accepted + Answer({101, 0, 0, 0x25, 0x80}) + Answer({102, 8}) + Answer({103, 3}) +
             Answer({104, 1}) + Answer({105, 1}),
         Line::kRefused},
        {"hardware flow control", 9600,
         accepted + Answer({101, 0, 0, 0x25, 0x80}) + Answer({102, 8}) + Answer({103, 1}) +
             Answer({104, 1}) + Answer({105, 3}),
         Line::kRefused},
        {"DTR and RTS answers are no flow-control answer", 9600,
         accepted + Answer({101, 0, 0, 0x25, 0x80}) + Answer({102, 8}) + Answer({103, 1}) +
             Answer({104, 1}) + Answer({105, 8}) + Answer({105, 12}),
         Line::kPending},
        {"a short speed answer is none", 9600,
         accepted + Answer({101, 0x25, 0x80}) + Answer({102, 8}) + Answer({103, 1}) +
             Answer({104, 1}) + Answer({105, 1}),
         Line::kPending},
        {"reports before the option was accepted are no answers", 9600,
         Answer({101, 0, 0, 0x25, 0x80}) + Answer({102, 8}) + Answer({103, 1}) + Answer({104, 1}) +
             Answer({105, 1}) + accepted,
         Line::kPending},
        {"0xFF in an answer arrives doubled", 255,
         accepted + Answer({101, 0, 0, 0, 255, 255}) + Answer({102, 8}) + Answer({103, 1}) +
             Answer({104, 1}) + Answer({105, 1}),
         Line::kConfigured},
        {"option withdrawn after the answers", 9600,
         kServerGreeting + kSettingsAnswered + Bytes({255, 254, 44}), Line::kRefused},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.name);
        ComPortClient client(LineSettings{c.baud});
        client.Start();
        std::string data;
        client.Receive(c.received, data);
        EXPECT_EQ(client.LineState(), c.line);
        EXPECT_EQ(data, "");
    }
}

TEST(ComPortClient, DataArrivesWholeHoweverTheStreamIsCut) {
    const std::string stream = kServerGreeting + kSettingsAnswered + "x" + Bytes({255, 255}) +
                               Answer({107, 0x30}) + "y" + Bytes({255, 241}) + "\r" +
                               Bytes({0, 255, 250, 44, 106, 255, 255, 255, 240}) + "z";
    ComPortClient whole(LineSettings{});
    whole.Start();
    std::string wholeData;
    whole.Receive(stream, wholeData);
    EXPECT_EQ(Trace(wholeData), Trace("x" + Bytes({255}) + "y\r" + Bytes({0}) + "z"));

    ComPortClient bytewise(LineSettings{});
    bytewise.Start();
    std::string bytewiseData;
    for (const char c : stream) {
        bytewise.Receive(std::string(1, c), bytewiseData);
    }
    EXPECT_EQ(Trace(bytewiseData), Trace(wholeData));
    EXPECT_EQ(Trace(bytewise.TakeOutgoing()), Trace(whole.TakeOutgoing()));
    EXPECT_EQ(bytewise.LineState(), Line::kConfigured);
}

TEST(ComPortClient, EncodesDataForTheModeTheServerAcceptedAndDrivesRts) {
    ComPortClient client(LineSettings{});
    client.Start();
    const std::string data = Bytes({0x41, 255, 13, 0x42});
    EXPECT_EQ(Trace(client.Encode(data)), Trace(Bytes({0x41, 255, 255, 13, 0, 0x42})));
    std::string received;
    client.Receive(Bytes({255, 253, 0}), received);
    EXPECT_EQ(Trace(client.Encode(data)), Trace(Bytes({0x41, 255, 255, 13, 0x42})));

    EXPECT_EQ(Trace(ComPortClient::SetRts(true)), Trace(Answer({5, 11})));
    EXPECT_EQ(Trace(ComPortClient::SetRts(false)), Trace(Answer({5, 12})));
}

}  // namespace
}  // namespace brantel::test
