#pragma once
// SIGTERM, SIGINT and SIGHUP are only noted where they arrive (a self-pipe); the program acts
// on them on its event thread, between handlers, where it may still send and close its lines.

#include <QObject>
#include <QSocketNotifier>
#include <functional>
#include <memory>

namespace mirvane::qt {

class SignalNotice final : public QObject {
public:
    // One at a time: the signals are the process's. `program` names the program in the one
    // message a failure to watch them gives (they then end it at once, as by default).
    SignalNotice(const char* program, std::function<void()> on_signal);
    ~SignalNotice() override;
    SignalNotice(const SignalNotice&) = delete;
    SignalNotice& operator=(const SignalNotice&) = delete;

private:
    std::function<void()> on_signal_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace mirvane::qt
