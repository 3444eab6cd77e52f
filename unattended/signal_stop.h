#pragma once
// SIGTERM, SIGINT and SIGHUP end a run between steps rather than in the middle of one: the
// signal is only noted where it arrives, and the runner, on the event thread, reports the
// case in hand and those left as errors, puts the receiver down and writes its reports.

#include <QObject>
#include <QSocketNotifier>
#include <functional>
#include <memory>

namespace mirvane::unattended {

class SignalStop final : public QObject {
public:
    // One at a time: the signals are the process's.
    explicit SignalStop(std::function<void()> on_signal);
    ~SignalStop() override;
    SignalStop(const SignalStop&) = delete;
    SignalStop& operator=(const SignalStop&) = delete;

private:
    std::function<void()> on_signal_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace mirvane::unattended
