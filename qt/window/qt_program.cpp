#include "qt/window/qt_program.h"

#include "decode/status_decoder.h"
#include "logs/session_records.h"
#include "monitor/monitor_decoder.h"
#include "shell/communication.h"

namespace mirvane::qt {

QtProgram::QtProgram() {
    window.attach(program);
    // Once the exit button has ended the program, no port event is handled any more.
    MSComm1.on_comm = [this] {
        if (!state.ended) MSComm1_OnComm(program);
    };
    MSComm2.on_comm = [this] {
        if (!state.ended) MSComm2_OnComm(program);
    };
    // A stream faster than the paints is read once a paint rather than once a byte: while
    // a paint is coming anyway, a line's bytes wait for it. One line waits at a time, and
    // its bytes are taken in before the other line's are read, so that the log keeps the
    // order in which the two lines' messages came.
    const auto may_wait = [this](QtSerialPort& other) {
        if (!other.holding()) return window.paint_coming();
        other.take_waiting();
        return false;
    };
    MSComm1.hold_reads_while([this, may_wait] { return may_wait(MSComm2); });
    MSComm2.hold_reads_while([this, may_wait] { return may_wait(MSComm1); });
    window.before_paint([this] {
        MSComm1.take_waiting();
        MSComm2.take_waiting();
    });
    MSComm1.on_lost = [this](std::u16string_view reason, std::u16string_view gloss) {
        lose_line(program, MSComm1, reason, gloss);
        device_watch.follow();
    };
    MSComm2.on_lost = [this](std::u16string_view reason, std::u16string_view gloss) {
        lose_line(program, MSComm2, reason, gloss);
        device_watch.follow();
    };
}

QtProgram::QtProgram(Session session) : QtProgram() {
    session_ = std::move(session);
    MSComm1.choose_device(session_.terminal_device);
    MSComm2.choose_device(session_.monitor_device);
    program.monitor_line = session_.monitor_device != kNoDevice;
    program.reconnect = session_.reconnect;
    keep_session_files(program, session_.log.get(), session_.capture.get());
}

}  // namespace mirvane::qt
