#pragma once
// An action queued for the next turn of the event loop, once however often it is asked for
// before then: a burst of announcements costs one call, which takes whatever is waiting.

#include <QMetaObject>
#include <QObject>
#include <functional>
#include <utility>

namespace mirvane::qt {

class NextTurn {
public:
    // Run on `context`'s thread; a call still queued when `context` goes is dropped with it.
    NextTurn(QObject& context, std::function<void()> action) : context_(context), action_(std::move(action)) {}

    NextTurn(const NextTurn&) = delete;
    NextTurn& operator=(const NextTurn&) = delete;

    void request() {
        if (queued_) return;
        queued_ = true;
        QMetaObject::invokeMethod(
            &context_, [this] { run(); }, Qt::QueuedConnection);
    }

private:
    // Free again before the action runs, so that the action can ask for the next turn itself.
    void run() {
        queued_ = false;
        action_();
    }

    QObject& context_;
    std::function<void()> action_;
    bool queued_ = false;
};

}  // namespace mirvane::qt
