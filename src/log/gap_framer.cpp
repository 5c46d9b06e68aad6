#include "log/gap_framer.h"

#include <algorithm>

namespace brantel {

std::vector<ReceivedFrame> GapFramer::Arrive(std::int64_t timeMs, std::string_view bytes) {
    std::vector<ReceivedFrame> ended;
    if (frame_ && timeMs - lastArrivalMs_ >= gapMs_) {
        ended.push_back(*Close());
    }
    while (!bytes.empty()) {
        if (!frame_) {
            frame_ = ReceivedFrame{{}, timeMs};
        }
        const std::size_t room = kMaxFrameBytes - frame_->bytes.size();
        frame_->bytes.append(bytes.substr(0, room));
        bytes.remove_prefix(std::min(room, bytes.size()));
        if (frame_->bytes.size() == kMaxFrameBytes) {
            ended.push_back(*Close());
        }
    }
    lastArrivalMs_ = timeMs;
    return ended;
}

std::optional<ReceivedFrame> GapFramer::Close() {
    std::optional<ReceivedFrame> ended = std::move(frame_);
    frame_.reset();
    return ended;
}

}  // namespace brantel
