#include "shell/replay.h"

#include "commands/manual_code.h"
#include "decode/status_decoder.h"
#include "logs/session_records.h"
#include "monitor/monitor_decoder.h"
#include "program/captions.h"

namespace mirvane {

void replay_record(Program& program, const CaptureRecord& record) {
    if (program.state.ended) return;
    if (record.line) {
        record_read(program, *record.line, record.bytes);
        const std::u16string now = record.time_of_day();
        if (*record.line == Line::terminal) {
            decode_status_bytes(program, record.bytes, now);
        } else {
            log_monitor_bytes(program, record.bytes, now);
        }
        return;
    }
    switch (record.action) {
        case CaptureAction::clear: Command7_Click(program); return;
        // What was sent is in the capture already; a replay reads, it sends nothing.
        case CaptureAction::sent: return;
        case CaptureAction::start:
        case CaptureAction::stop:
            // The caption tells the operator where the session was; no line opens.
            program.window.set_caption(Control::Command1, record.action == CaptureAction::start
                                                              ? caption::kStopCommunication
                                                              : caption::kStartCommunication);
            record_action(program, record.action);
            return;
    }
}

}  // namespace mirvane
