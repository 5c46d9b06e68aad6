#include "platform/line_settings.h"

#include <algorithm>
#include <charconv>
#include <vector>

#include "platform/ascii_case.h"

namespace brantel {
namespace {

using Parity = LineSettings::Parity;
using StopBits = LineSettings::StopBits;
using Flow = LineSettings::Flow;

constexpr std::string_view kForm =
    "SPEED DPS [FLOW], such as \"9600 8N1\" or \"115200 8E1 RTS/CTS\"";
constexpr std::string_view kParityLetters = "NEOMS";
constexpr int kFewestDataBits = 5;
constexpr int kMostDataBits = 8;

std::string Upper(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(), AsciiUpper);
    return upper;
}

[[noreturn]] void Refuse(std::string_view text, const std::string& why) {
    throw LineSettingsError("'" + std::string(text) + "' is no line settings (" + why +
                            "): " + std::string(kForm));
}

std::vector<std::string_view> Words(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t start = text.find_first_not_of(" \t", at);
        if (start == std::string_view::npos) {
            break;
        }
        const std::size_t end = std::min(text.find_first_of(" \t", start), text.size());
        words.push_back(text.substr(start, end - start));
        at = end;
    }
    return words;
}

std::uint32_t Speed(std::string_view text, std::string_view word) {
    std::uint64_t speed = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), speed);
    if (error != std::errc() || end != word.data() + word.size() || speed == 0 ||
        speed > kHighestSpeed) {
        Refuse(text, "the speed '" + std::string(word) + "' is not a whole number from 1 to " +
                         std::to_string(kHighestSpeed));
    }
    return static_cast<std::uint32_t>(speed);
}

void Frame(std::string_view text, std::string_view word, LineSettings& line) {
    const std::string frame = Upper(word);
    const std::size_t parity =
        frame.size() >= 3 ? kParityLetters.find(frame[1]) : std::string::npos;
    const std::string stop = frame.size() >= 3 ? frame.substr(2) : std::string();
    const bool dataBits =
        !frame.empty() && frame[0] >= '0' + kFewestDataBits && frame[0] <= '0' + kMostDataBits;
    if (!dataBits || parity == std::string::npos || (stop != "1" && stop != "1.5" && stop != "2")) {
        Refuse(text, "'" + std::string(word) +
                         "' is not data bits 5 to 8, parity N, E, O, M or S and stop bits 1, "
                         "1.5 or 2");
    }
    line.dataBits = frame[0] - '0';
    line.parity = static_cast<Parity>(parity);
    line.stopBits = stop == "1"   ? StopBits::kOne
                    : stop == "2" ? StopBits::kTwo
                                  : StopBits::kOneAndHalf;
}

Flow FlowWord(std::string_view text, std::string_view word) {
    const std::string flow = Upper(word);
    if (flow == "NONE") {
        return Flow::kNone;
    }
    if (flow == "RTS/CTS") {
        return Flow::kRtsCts;
    }
    if (flow == "XON/XOFF") {
        return Flow::kXonXoff;
    }
    Refuse(text, "the flow control '" + std::string(word) + "' is not RTS/CTS, XON/XOFF or none");
}

}  // namespace

LineSettings ParseLineSettings(std::string_view text) {
    const std::vector<std::string_view> words = Words(text);
    if (words.size() < 2 || words.size() > 3) {
        Refuse(text, "it needs two or three words");
    }
    LineSettings line;
    line.speed = Speed(text, words[0]);
    Frame(text, words[1], line);
    if (words.size() == 3) {
        line.flow = FlowWord(text, words[2]);
    }
    return line;
}

std::string_view ParityText(Parity parity) {
    constexpr std::string_view kWords[] = {"no parity", "even parity", "odd parity", "mark parity",
                                           "space parity"};
    return kWords[static_cast<std::size_t>(parity)];
}

std::string_view StopBitsText(StopBits stopBits) {
    switch (stopBits) {
        case StopBits::kOneAndHalf:
            return "1.5";
        case StopBits::kTwo:
            return "2";
        case StopBits::kOne:
            break;
    }
    return "1";
}

std::string_view FlowText(Flow flow) {
    switch (flow) {
        case Flow::kRtsCts:
            return "RTS/CTS flow control";
        case Flow::kXonXoff:
            return "XON/XOFF flow control";
        case Flow::kNone:
            break;
    }
    return "no flow control";
}

std::string LineSettingsText(const LineSettings& line) {
    std::string text = std::to_string(line.speed) + " " + std::to_string(line.dataBits) +
                       kParityLetters[static_cast<std::size_t>(line.parity)] +
                       std::string(StopBitsText(line.stopBits));
    if (line.flow != Flow::kNone) {
        const std::string_view flow = FlowText(line.flow);
        text += " " + std::string(flow.substr(0, flow.find(' ')));
    }
    return text;
}

std::string DescribeLineSettings(const LineSettings& line) {
    LineSettings frameOnly = line;
    frameOnly.flow = Flow::kNone;
    return LineSettingsText(frameOnly) + ", " + std::string(FlowText(line.flow));
}

int HalfBitsPerCharacter(const LineSettings& line) {
    const int stopHalves = line.stopBits == StopBits::kOne   ? 2
                           : line.stopBits == StopBits::kTwo ? 4
                                                             : 3;
    return 2 * (1 + line.dataBits + (line.parity == Parity::kNone ? 0 : 1)) + stopHalves;
}

}  // namespace brantel
