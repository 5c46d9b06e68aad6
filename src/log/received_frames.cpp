#include "log/received_frames.h"

#include "log/line_store.h"

namespace brantel {

ReceivedFrames::ReceivedFrames(FrameSink sink, QObject* parent)
    : QObject(parent), sink_(std::move(sink)) {
    idle_.setSingleShot(true);
    // A gap of a few milliseconds needs a timer that keeps to them.
    idle_.setTimerType(Qt::PreciseTimer);
    connect(&idle_, &QTimer::timeout, this, &ReceivedFrames::End);
}

void ReceivedFrames::SetGap(std::optional<int> gapMs) {
    End();
    framer_.reset();
    if (gapMs) {
        framer_.emplace(*gapMs);
    }
}

void ReceivedFrames::Arrive(std::string_view bytes) {
    if (!framer_ || bytes.empty()) {
        return;
    }
    Hand(framer_->Arrive(NowMs(), bytes));
    if (framer_->Gathering()) {
        idle_.start(framer_->GapMs());
    }
}

void ReceivedFrames::End() {
    idle_.stop();
    if (framer_) {
        if (std::optional<ReceivedFrame> frame = framer_->Close()) {
            Hand({std::move(*frame)});
        }
    }
}

void ReceivedFrames::Drop() {
    idle_.stop();
    if (framer_) {
        framer_->Close();
    }
}

void ReceivedFrames::Hand(std::vector<ReceivedFrame> frames) {
    for (ReceivedFrame& frame : frames) {
        sink_(std::move(frame));
    }
}

}  // namespace brantel
