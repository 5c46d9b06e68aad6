#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brantel {

// Received bytes gathered into one frame, stamped with the arrival of its first byte.
struct ReceivedFrame {
    std::string bytes;
    // Milliseconds since the epoch.
    std::int64_t firstByteMs = 0;
    bool operator==(const ReceivedFrame&) const = default;
};

// Gathers received bytes into frames as a protocol engineer reads them: a frame ends when the
// line has been idle for the gap. The driver hands bytes over in chunks, so the gap is measured
// between the arrivals of chunks as they are seen.
class GapFramer {
  public:
    // A frame that never pauses is still shown, in lines of this many bytes.
    static constexpr std::size_t kMaxFrameBytes = 65536;

    explicit GapFramer(int gapMs) : gapMs_(gapMs) {}
    int GapMs() const { return gapMs_; }

    // Takes bytes that arrived at `timeMs`; the frames that ended: the one gathered when the line
    // had been idle for the gap before them, and any that they filled.
    std::vector<ReceivedFrame> Arrive(std::int64_t timeMs, std::string_view bytes);
    // Ends the frame being gathered (the gap has passed, or another line comes first).
    std::optional<ReceivedFrame> Close();
    bool Gathering() const { return frame_.has_value(); }

  private:
    int gapMs_;
    std::optional<ReceivedFrame> frame_;
    std::int64_t lastArrivalMs_ = 0;
};

}  // namespace brantel
