#include "demo_device.h"

#include <cmath>
#include <numbers>

namespace brantel::sim {
namespace {

constexpr std::uint8_t kStateReady = 0x00;
constexpr std::uint8_t kVersionMajor = 0x01;
constexpr std::uint8_t kVersionMinor = 0x01;

std::uint8_t Byte(std::string_view bytes, std::size_t position) {
    return static_cast<std::uint8_t>(bytes[position]);
}

}  // namespace

std::uint8_t Checksum(std::string_view bytes) {
    unsigned sum = 0;
    for (const char c : bytes) {
        sum += static_cast<std::uint8_t>(c);
    }
    return static_cast<std::uint8_t>(sum);
}

std::string MakeFrame(std::uint8_t address, std::uint8_t command, std::string_view data) {
    std::string frame;
    frame.push_back(static_cast<char>(address));
    frame.push_back(static_cast<char>(command));
    frame.push_back(static_cast<char>(data.size() + kFrameOverhead));
    frame.append(data);
    frame.push_back(static_cast<char>(Checksum(frame)));
    return frame;
}

DemoDevice::DemoDevice(std::uint8_t address, Clock elapsed)
    : address_(address), elapsed_(std::move(elapsed)) {
    if (!elapsed_) {
        const auto start = std::chrono::steady_clock::now();
        elapsed_ = [start] { return std::chrono::steady_clock::now() - start; };
    }
    // Each register starts as the complement of its number, so a read is never an echo.
    for (std::size_t r = 0; r < registers_.size(); ++r) {
        registers_[r] = static_cast<std::uint8_t>(0xFF - r);
    }
}

std::optional<std::string> DemoDevice::Answer(std::string_view frame) {
    if (frame.empty() || Byte(frame, 0) != address_) {
        return std::nullopt;
    }
    const std::uint8_t command = frame.size() > 1 ? Byte(frame, 1) : 0;
    if (frame.size() < kFrameOverhead || Byte(frame, 2) != frame.size()) {
        return Refuse(command, kBadLength);
    }
    if (Checksum(frame.substr(0, frame.size() - 1)) != Byte(frame, frame.size() - 1)) {
        return Refuse(command, kBadChecksum);
    }
    return Execute(command, frame.substr(3, frame.size() - kFrameOverhead));
}

std::string DemoDevice::Execute(std::uint8_t command, std::string_view data) {
    switch (command) {
        case kEcho:
            return MakeFrame(address_, command, data);
        case kStatus:
            if (!data.empty()) {
                return Refuse(command, kBadData);
            }
            return MakeFrame(
                address_, command,
                std::string{static_cast<char>(kStateReady), static_cast<char>(kVersionMajor),
                            static_cast<char>(kVersionMinor)});
        case kReadRegister:
            if (data.size() != 1) {
                return Refuse(command, kBadData);
            }
            return MakeFrame(address_, command,
                             std::string{data[0], static_cast<char>(Register(Byte(data, 0)))});
        case kWriteRegister:
            if (data.size() != 2) {
                return Refuse(command, kBadData);
            }
            registers_[Byte(data, 0)] = Byte(data, 1);
            return MakeFrame(address_, command, data);
        default:
            return Refuse(command, kUnknownCommand);
    }
}

std::uint8_t DemoDevice::Register(std::uint8_t number) const {
    if (number != kWaveRegister) {
        return registers_[number];
    }
    constexpr double kPeriodSeconds = 60;
    const double t = std::chrono::duration<double>(elapsed_()).count();
    return static_cast<std::uint8_t>(
        std::lround(128 + 100 * std::sin(2 * std::numbers::pi * t / kPeriodSeconds)));
}

std::string DemoDevice::Refuse(std::uint8_t command, Refusal why) const {
    return MakeFrame(address_, static_cast<std::uint8_t>(command | kRefusedBit),
                     std::string(1, static_cast<char>(why)));
}

}  // namespace brantel::sim
