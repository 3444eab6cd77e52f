#pragma once
// An action run once the event loop has handled what it is handling now, once however often
// it is asked for before then: a burst of announcements costs one call, which takes whatever
// is waiting.
//
// A zero-time timer rather than a posted call: a timer due now is run in the same pass of
// the loop that started it, or the next without sleeping, and costs no wake-up of the loop
// through its pipe (a posted call writes to it and reads it back, one more poll each time).
// The action still never runs inside the notification that asked for it.

#include <QObject>
#include <QTimer>
#include <functional>
#include <utility>

namespace mirvane::qt {

class NextTurn {
public:
    // Run on `context`'s thread; a call still waiting when `context` goes is dropped with it.
    NextTurn(QObject& context, std::function<void()> action) : timer_(&context), action_(std::move(action)) {
        timer_.setSingleShot(true);
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, &context, [this] { action_(); });
    }

    NextTurn(const NextTurn&) = delete;
    NextTurn& operator=(const NextTurn&) = delete;

    // Single-shot, so the timer is free again before the action runs, and the action can
    // ask for the next turn itself.
    void request() {
        if (!timer_.isActive()) timer_.start();
    }

private:
    QTimer timer_;
    std::function<void()> action_;
};

}  // namespace mirvane::qt
