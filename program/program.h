#pragma once
// What every handler works on: the shared state, the window and the two serial lines,
// and what the session was started with. The program owns one of each and hands this
// bundle to every procedure.

#include "program/record_file.h"
#include "program/serial_port.h"
#include "program/shared_state.h"
#include "program/window_ops.h"

namespace mirvane {

struct Program {
    SharedState& state;
    WindowOps& window;
    SerialPort& MSComm1;  // terminal line: status codes in, command codes out
    SerialPort& MSComm2;  // monitor line: receive only

    // Chosen at start. A bench with one adapter has no monitor line: start opens the
    // terminal line alone.
    bool monitor_line = true;
    // Chosen at start: a lost line is waited for and communication starts again when it is back.
    bool reconnect = false;
    // The session log and the capture, when asked for; a file that fails is dropped.
    RecordFile* log = nullptr;
    RecordFile* capture = nullptr;
};

}  // namespace mirvane
