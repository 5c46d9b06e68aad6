#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>
#include <optional>

#include "commands/poll_plan.h"

namespace brantel {

// Sends the rows of a poll plan in turn. No row goes out while an answer is still awaited:
// waiting for answers, the next row goes once the answer is complete and the interval since
// the last send has passed; on the clock, a tick that finds an answer awaited is skipped and
// the same row waits for the next tick. The rest is the window's: what a send does, and when
// an answer is complete.
class PollSchedule : public QObject {
    Q_OBJECT
  public:
    // `send` sends a row as "Send Cmd" does and may throw (the poll is then stopped and the
    // failure goes on to the caller); `awaiting` says whether an answer is still awaited.
    PollSchedule(std::function<void(int row)> send, std::function<bool()> awaiting,
                 QObject* parent = nullptr);

    // Stops a poll under way and starts this one: its first row goes out at once.
    void Start(PollPlan plan);
    void Stop();
    bool Running() const { return turn_.has_value(); }
    // The plan under way; the last one after a stop.
    const PollPlan& Plan() const { return plan_; }

    // The answer that was awaited is complete: judged, timed out or dropped.
    void AnswerComplete();

  private:
    void Tick();
    // Sends the row whose turn it is, then waits as the plan says.
    void SendNext();

    std::function<void(int)> send_;
    std::function<bool()> awaiting_;
    PollPlan plan_;
    std::optional<PollTurn> turn_;
    QTimer timer_;
    // Waiting for answers: a row is due once the answer awaited is complete.
    bool dueAfterAnswer_ = false;
    std::chrono::steady_clock::time_point lastSend_{};
};

}  // namespace brantel
