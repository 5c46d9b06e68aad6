#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace brantel {

// How a serial line runs: speed, character frame and flow control. The default is the line the
// tool has always run, 9600 8N1 without flow control.
struct LineSettings {
    enum class Parity { kNone, kEven, kOdd, kMark, kSpace };
    enum class StopBits { kOne, kOneAndHalf, kTwo };
    enum class Flow { kNone, kRtsCts, kXonXoff };

    std::uint32_t speed = 9600;
    int dataBits = 8;
    Parity parity = Parity::kNone;
    StopBits stopBits = StopBits::kOne;
    Flow flow = Flow::kNone;

    bool operator==(const LineSettings&) const = default;
};

// Thrown for a text that is no line settings, with what is wrong with it.
class LineSettingsError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The highest speed a line can be asked for (the drivers take a signed 32-bit rate).
inline constexpr std::uint32_t kHighestSpeed = 2147483647;

// "SPEED DPS [FLOW]": the speed in baud (1 to kHighestSpeed), then data bits (5 to 8), parity
// (N, E, O, M or S) and stop bits (1, 1.5 or 2) as one word, then optionally "RTS/CTS",
// "XON/XOFF" or "none". Letters in any case, words apart by blanks.
LineSettings ParseLineSettings(std::string_view text);

// The text form ParseLineSettings reads back: "9600 8N1", "115200 7E2 RTS/CTS".
std::string LineSettingsText(const LineSettings& line);

// The settings in words, for a tooltip: "9600 8N1, no flow control".
std::string DescribeLineSettings(const LineSettings& line);

// The parity in words: "no parity", "even parity"...
std::string_view ParityText(LineSettings::Parity parity);
// The stop bits as a word of the text form: "1", "1.5" or "2".
std::string_view StopBitsText(LineSettings::StopBits stopBits);
// The flow control in words: "no flow control", "RTS/CTS flow control"...
std::string_view FlowText(LineSettings::Flow flow);

// The time one character takes on the line, in half bit times (start, data, parity, stop).
int HalfBitsPerCharacter(const LineSettings& line);

}  // namespace brantel
