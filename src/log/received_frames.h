#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <optional>
#include <string_view>

#include "log/gap_framer.h"

namespace brantel {

// Received bytes gathered into frames split by the line going idle, in real time: a frame ends
// when no byte has come for the gap (a timer restarted by every arrival, so nothing runs while
// the line is idle), or when another line is logged.
class ReceivedFrames : public QObject {
  public:
    using FrameSink = std::function<void(ReceivedFrame frame)>;

    ReceivedFrames(FrameSink sink, QObject* parent);

    // Off (nullopt) or on with the gap in milliseconds; a frame being gathered ends first.
    void SetGap(std::optional<int> gapMs);
    bool On() const { return framer_.has_value(); }
    // Bytes that arrived now.
    void Arrive(std::string_view bytes);
    // Ends the frame being gathered, handing it to the sink.
    void End();
    // Forgets the frame being gathered.
    void Drop();

  private:
    void Hand(std::vector<ReceivedFrame> frames);

    FrameSink sink_;
    std::optional<GapFramer> framer_;
    QTimer idle_;
};

}  // namespace brantel
