#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace brantel::sim {

// Frame layout: address, command, length (of the whole frame), data..., checksum (the sum of
// every other byte of the frame, modulo 256).
inline constexpr std::size_t kFrameOverhead = 4;

enum Command : std::uint8_t {
    kEcho = 0x01,
    kStatus = 0x02,
    kReadRegister = 0x03,
    kWriteRegister = 0x04,
};

// The refusal's command byte is the request's with the top bit set; its one data byte says why.
inline constexpr std::uint8_t kRefusedBit = 0x80;
enum Refusal : std::uint8_t {
    kBadLength = 0x01,
    kBadChecksum = 0x02,
    kUnknownCommand = 0x03,
    kBadData = 0x04,
};

// The register that reads a slow wave, for a chart to follow: 128 + 100 sin(2 pi t / 60 s),
// t the time since the device started.
inline constexpr std::uint8_t kWaveRegister = 0xF0;

std::uint8_t Checksum(std::string_view bytes);
std::string MakeFrame(std::uint8_t address, std::uint8_t command, std::string_view data);

// A device with 256 one-byte registers that answers the demo commands addressed to it.
class DemoDevice {
  public:
    using Clock = std::function<std::chrono::steady_clock::duration()>;
    // `elapsed` tells the time since the start, for the wave register; the steady clock's by
    // default.
    explicit DemoDevice(std::uint8_t address, Clock elapsed = {});

    // The answer to one received frame; nothing for a frame addressed to another device.
    std::optional<std::string> Answer(std::string_view frame);

  private:
    std::string Execute(std::uint8_t command, std::string_view data);
    std::string Refuse(std::uint8_t command, Refusal why) const;

    std::uint8_t Register(std::uint8_t number) const;

    std::uint8_t address_;
    Clock elapsed_;
    std::array<std::uint8_t, 256> registers_{};
};

}  // namespace brantel::sim
