#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>

#include "support/pty_device.h"

namespace brantel::test {

// What a threaded device does, in this order: takes `receive` bytes from the program, sends
// `send` in slices of `slice` bytes (all at once when 0), one slice every `interval`, and
// finally vanishes (its side of the line closes) when asked to.
struct DeviceScript {
    std::size_t receive = 0;
    std::string send;
    std::size_t slice = 0;
    std::chrono::milliseconds interval{0};
    bool vanish = false;
    // After the first time, `send` goes out again and again, as fast as the line takes it,
    // until this much time has passed since the script began.
    std::chrono::milliseconds floodFor{0};
};

// A device that sends `bytes`, `slice` bytes every `interval` (all at once when 0).
DeviceScript Sending(std::string bytes, std::size_t slice = 0,
                     std::chrono::milliseconds interval = std::chrono::milliseconds(0));
// A device that sends the bytes of PatternBytes without a pause for `duration`.
DeviceScript Flooding(std::chrono::milliseconds duration);
// The same device, which vanishes once it has sent its bytes.
DeviceScript ThenVanishing(DeviceScript script);
// A device that takes `count` bytes from the program and vanishes.
DeviceScript TakingThenVanishing(std::size_t count);

// A pseudo-terminal whose device side plays a script on a thread of its own, so it keeps
// sending and receiving while the program under test is busy. No call of it blocks for long:
// every wait gives way to the stop the destructor asks for.
class ThreadedDevice {
  public:
    ThreadedDevice();
    ~ThreadedDevice();
    ThreadedDevice(const ThreadedDevice&) = delete;
    ThreadedDevice& operator=(const ThreadedDevice&) = delete;

    const std::string& SlavePath() const { return line_.SlavePath(); }

    // Starts the script; one script per device.
    void Run(DeviceScript script);
    bool Finished() const { return finished_; }
    // The bytes of the script's `send` handed to the line so far.
    std::size_t SentCount() const { return sent_; }
    // The bytes taken from the program so far.
    std::string Received() const;

  private:
    void Play(const DeviceScript& script);
    void Take(std::size_t count);
    void Put(std::string_view bytes);
    // Waits until the line is ready for `events`; false once a stop is asked for.
    bool WaitReady(short events) const;

    RawPty line_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> finished_{false};
    std::atomic<std::size_t> sent_{0};
    mutable std::mutex receivedMutex_;
    std::string received_;
    std::thread thread_;
};

// The CPU time the whole process has used so far, user and system.
std::chrono::microseconds ProcessCpuTime();

// The memory the whole process holds in RAM now.
std::size_t ResidentBytes();

// A byte string of `size` bytes whose value repeats only every 251 bytes, so a lost, doubled
// or reordered slice of any common size shows.
std::string PatternBytes(std::size_t size);

}  // namespace brantel::test
