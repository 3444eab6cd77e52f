#pragma once
// The program on Qt: the shared state, the window and both serial lines, wired to the
// core's handlers. main() makes one and calls Main; tests make one per case.

#include "program/program.h"
#include "program/shared_state.h"
#include "qt/serial/qt_serial_port.h"
#include "qt/window/command_line.h"
#include "qt/window/device_watch.h"
#include "qt/window/form1.h"

namespace mirvane::qt {

class QtProgram {
public:
    // Devices from MIRVANE_PORT1 and MIRVANE_PORT2 or the defaults, no files.
    QtProgram();
    // As the command line chose; the program keeps the session's files.
    explicit QtProgram(Session session);
    QtProgram(const QtProgram&) = delete;
    QtProgram& operator=(const QtProgram&) = delete;

    SharedState state;
    QtSerialPort MSComm1;
    QtSerialPort MSComm2;
    Form1 window;
    Program program{state, window, MSComm1, MSComm2};
    DeviceWatch device_watch{program};

private:
    Session session_;
};

}  // namespace mirvane::qt
