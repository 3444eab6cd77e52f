#pragma once
// SIGTERM, SIGINT and SIGHUP end the program as the exit button does: the receiver put
// down, the lines closed (and their lock files gone), exit status 0. The signal is only
// noted where it arrives; the exit runs on the event thread, between handlers.
// A display that goes away ends the program from inside Qt (exit status 1); on that way out
// too the receiver is put down and the lines are closed.

#include "program/program.h"
#include "qt/session/signal_notice.h"

namespace mirvane::qt {

class SignalExit final {
public:
    // One at a time: the signals are the process's.
    explicit SignalExit(Program& program);
    ~SignalExit();
    SignalExit(const SignalExit&) = delete;
    SignalExit& operator=(const SignalExit&) = delete;

private:
    Program& program_;
    SignalNotice notice_;
};

}  // namespace mirvane::qt
