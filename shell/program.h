#pragma once
// What every handler works on: the shared state, the window and the two serial lines.
// The program owns one of each and hands this bundle to every procedure.

#include "link/serial_port.h"
#include "shell/shared_state.h"
#include "shell/window_ops.h"

namespace mirvane {

struct Program {
    SharedState& state;
    WindowOps& window;
    SerialPort& MSComm1;  // terminal line: status codes in, command codes out
    SerialPort& MSComm2;  // monitor line: receive only
};

}  // namespace mirvane
