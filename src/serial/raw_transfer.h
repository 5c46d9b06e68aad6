#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "serial/log_sink.h"

namespace brantel {

class PortConnection;

// The received bytes as a text control shows them: up to the first zero byte.
std::string_view ReceivedText(std::string_view received);

// The raw writer and reader over the held port, and `LastReceived`.
class RawTransfer {
  public:
    // One write and one read move at most this many bytes.
    static constexpr int kBufferSize = 255;

    // `showReceived` sets Edit1's text to received bytes.
    RawTransfer(PortConnection& port, HexSink log,
                std::function<void(const std::string&)> showReceived);

    // Sends all of data (in pieces of at most 255 bytes), logs it in red; the count sent.
    int WriteBytes(const std::string& data);
    // Takes at most 255 bytes the driver holds now, shows and logs them in blue, and keeps
    // them as `LastReceived`; the bytes taken (empty when none).
    const std::string& ReadBytes();

    const std::string& LastReceived() const { return lastReceived_; }
    // Whether a read is under way: bytes the port signals as arrived from inside it are its own.
    bool Reading() const { return reading_; }

  private:
    int Send(std::string_view data);
    std::string Take();

    PortConnection& port_;
    HexSink log_;
    std::function<void(const std::string&)> showReceived_;
    std::string lastReceived_;
    bool reading_ = false;
};

}  // namespace brantel
