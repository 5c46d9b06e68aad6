#include "app/poll_schedule.h"

#include <utility>

#include "app/application.h"

namespace brantel {

PollSchedule::PollSchedule(std::function<void(int row)> send, std::function<bool()> awaiting,
                           QObject* parent)
    : QObject(parent), send_(std::move(send)), awaiting_(std::move(awaiting)) {
    timer_.setObjectName("PollTimer");
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] { Application::Guard([this] { Tick(); }); });
}

void PollSchedule::Start(PollPlan plan) {
    Stop();
    plan_ = std::move(plan);
    turn_.emplace(plan_.rows);
    if (!plan_.waitForAnswer) {
        timer_.setSingleShot(false);
        timer_.start(plan_.interval);
    }
    SendNext();
}

void PollSchedule::Stop() {
    turn_.reset();
    timer_.stop();
    dueAfterAnswer_ = false;
}

void PollSchedule::AnswerComplete() {
    if (!Running() || !dueAfterAnswer_) {
        return;
    }
    dueAfterAnswer_ = false;
    timer_.setSingleShot(true);
    timer_.start(WaitAfterAnswer(plan_.interval, std::chrono::steady_clock::now() - lastSend_));
}

void PollSchedule::Tick() {
    if (!Running()) {
        return;
    }
    if (awaiting_()) {
        // On the clock the tick is skipped; waiting, the row goes once the answer is complete.
        dueAfterAnswer_ = plan_.waitForAnswer;
        return;
    }
    SendNext();
}

void PollSchedule::SendNext() {
    const int row = turn_->Current();
    turn_->Advance();
    lastSend_ = std::chrono::steady_clock::now();
    try {
        send_(row);
    } catch (...) {
        Stop();
        throw;
    }
    if (!Running() || !plan_.waitForAnswer) {
        return;
    }
    if (awaiting_()) {
        dueAfterAnswer_ = true;
    } else {
        timer_.setSingleShot(true);
        timer_.start(plan_.interval);
    }
}

}  // namespace brantel
