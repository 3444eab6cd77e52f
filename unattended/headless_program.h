#pragma once
// The program without a window: the shared state, the in-memory window on Qt's event loop,
// both serial lines wired to the core's handlers, and the entry log in front of the
// session's own. main() makes one; the tests make one per run.

#include "program/program.h"
#include "program/shared_state.h"
#include "qt/serial/qt_serial_port.h"
#include "qt/session/session.h"
#include "unattended/entry_log.h"
#include "unattended/runner_window.h"

namespace mirvane::unattended {

class HeadlessProgram {
public:
    explicit HeadlessProgram(qt::Session session);
    HeadlessProgram(const HeadlessProgram&) = delete;
    HeadlessProgram& operator=(const HeadlessProgram&) = delete;

    qt::Session session;
    SharedState state;
    qt::QtSerialPort MSComm1;
    qt::QtSerialPort MSComm2;
    RunnerWindow window;
    EntryLog entries{session.log.get()};
    Program program{state, window, MSComm1, MSComm2};
};

}  // namespace mirvane::unattended
