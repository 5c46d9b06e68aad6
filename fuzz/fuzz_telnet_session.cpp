// Input: one byte that sets how the rest is cut into pieces, then what a serial server sends.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_input.h"
#include "telnet/com_port_client.h"
#include "telnet/telnet_stream.h"

namespace brantel {
namespace {

using fuzz::Check;

struct Outcome {
    std::string data;
    std::string outgoing;
    ComPortClient::Line line;
};

// The session fed the stream whole (`longest` 0) or in pieces of 1 to `longest` bytes, their
// lengths cycling.
Outcome Run(std::string_view stream, std::size_t longest) {
    ComPortClient client(LineSettings{});
    Outcome outcome;
    outcome.outgoing = client.Start();
    std::size_t length = 0;
    for (std::size_t offset = 0; offset < stream.size(); offset += length) {
        length = longest == 0 ? stream.size() : length % longest + 1;
        client.Receive(stream.substr(offset, length), outcome.data);
        outcome.outgoing += client.TakeOutgoing();
    }
    outcome.line = client.LineState();
    return outcome;
}

// The data bytes a stream carries, decoded as one sender's stream.
std::string DecodedData(std::string_view stream, bool binary, bool& commands) {
    TelnetDecoder decoder;
    std::string data;
    commands = false;
    for (const char c : stream) {
        const TelnetEvent event = decoder.Feed(static_cast<unsigned char>(c), binary);
        if (event.kind == TelnetEvent::Kind::kData) {
            data.push_back(static_cast<char>(event.byte));
        } else if (event.kind != TelnetEvent::Kind::kNone) {
            commands = true;
        }
    }
    return data;
}

}  // namespace
}  // namespace brantel

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brantel;
    if (size == 0) {
        return 0;
    }
    const std::string_view stream = fuzz::AsText(data + 1, size - 1);
    const Outcome whole = Run(stream, 0);
    const Outcome pieces = Run(stream, data[0] % 16 + 1);
    Check(
        whole.data == pieces.data && whole.outgoing == pieces.outgoing && whole.line == pieces.line,
        "the outcome does not depend on how the stream is cut");
    Check(whole.data.size() <= stream.size(), "decoding never makes more data than it takes");
    // One answer of three bytes at most for every three-byte negotiation, plus the offers and
    // the line settings once.
    constexpr std::size_t kOffersAndSettings = 128;
    Check(whole.outgoing.size() <= stream.size() + kOffersAndSettings,
          "the answers stay in proportion to what was received");
    bool commands = false;
    Check(DecodedData(whole.outgoing, true, commands).empty(),
          "what the client sends of its own carries no data bytes");
    for (const bool binary : {true, false}) {
        Check(
            DecodedData(EscapeTelnetData(stream, binary), binary, commands) == stream && !commands,
            "escaped data decodes to itself");
    }
    return 0;
}
