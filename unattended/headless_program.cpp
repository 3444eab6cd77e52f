#include "unattended/headless_program.h"

#include "decode/status_decoder.h"
#include "logs/session_records.h"
#include "monitor/monitor_decoder.h"
#include "shell/communication.h"

namespace mirvane::unattended {

HeadlessProgram::HeadlessProgram(qt::Session chosen) : session(std::move(chosen)) {
    MSComm1.on_comm = [this] { MSComm1_OnComm(program); };
    MSComm2.on_comm = [this] { MSComm2_OnComm(program); };
    MSComm1.on_lost = [this](std::u16string_view reason, std::u16string_view gloss) {
        lose_line(program, MSComm1, reason, gloss);
    };
    MSComm2.on_lost = [this](std::u16string_view reason, std::u16string_view gloss) {
        lose_line(program, MSComm2, reason, gloss);
    };
    MSComm1.choose_device(session.terminal_device);
    MSComm2.choose_device(session.monitor_device);
    program.monitor_line = session.monitor_device != qt::kNoDevice;
    // The core writes to the runner's log, which forwards to the --log file; a capture that
    // fails later takes the core's road, a box, which fails the case in hand.
    keep_session_files(program, &entries, session.capture.get());
    if (session.log) {
        session.log->failed_later = [this](std::u16string_view reason) { entries.give_up_forward(reason); };
    }
}

}  // namespace mirvane::unattended
