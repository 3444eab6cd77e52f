#include "shell/communication.h"

#include <string>

#include "link/send.h"
#include "logs/session_records.h"
#include "program/captions.h"
#include "program/message_boxes.h"
#include "shell/reconnect.h"
#include "shell/startup.h"
#include "vocabulary/command_codes.h"

namespace mirvane {

namespace {

constexpr std::u16string_view kTerminalPort = u"端末ポート";
constexpr std::u16string_view kTerminalPortGloss = u"the terminal port";
constexpr std::u16string_view kMonitorPort = u"モニタポート";
constexpr std::u16string_view kMonitorPortGloss = u"the monitor port";
constexpr std::u16string_view kCannotOpen = u"を開けません：";
constexpr std::u16string_view kCannotOpenGloss = u" cannot be opened: ";
constexpr std::u16string_view kLineLost = u"との通信が途絶えたため、端末通信を終了しました：";
constexpr std::u16string_view kLineLostGloss = u" stopped answering, so terminal communication was stopped: ";
constexpr std::u16string_view kMonitorHintBefore = u"mirvane: the monitor line (";
constexpr std::u16string_view kMonitorHintAfter =
    u") cannot be opened; a bench with one adapter runs with --monitor-port none";

std::u16string port_problem(const Program& program, const SerialPort& port, std::u16string_view what,
                            std::u16string_view reason) {
    return port_title(program, port) + std::u16string(what) + std::u16string(reason);
}

// The same in English, composed as the box's text is.
std::u16string port_problem_gloss(const Program& program, const SerialPort& port, std::u16string_view what,
                                  std::u16string_view reason) {
    return std::u16string(&port == &program.MSComm1 ? kTerminalPortGloss : kMonitorPortGloss) + u" (" +
           port.device_name() + u")" + std::u16string(what) + std::u16string(reason);
}

void start_communication(Program& program) {
    SharedState& state = program.state;
    if (auto failure = program.MSComm1.open()) {
        show_critical(program, port_problem(program, program.MSComm1, kCannotOpen, failure->reason),
                      port_problem_gloss(program, program.MSComm1, kCannotOpenGloss, failure->gloss));
        return;
    }
    // Without a monitor line the terminal line alone is "both lines".
    if (auto failure = program.monitor_line ? program.MSComm2.open() : std::nullopt) {
        // Both lines or neither: the caption must keep telling the truth about the ports.
        program.MSComm1.close();
        // Most benches have one adapter; the way to run on one is worth saying where it is read.
        program.window.warn(std::u16string(kMonitorHintBefore) + program.MSComm2.device_name() +
                            std::u16string(kMonitorHintAfter));
        show_critical(program, port_problem(program, program.MSComm2, kCannotOpen, failure->reason),
                      port_problem_gloss(program, program.MSComm2, kCannotOpenGloss, failure->gloss));
        return;
    }
    ++state.terminal_session;
    program.window.set_caption(Control::Command1, caption::kStopCommunication);
    set_sending_controls_enabled(program.window, true);
    record_action(program, CaptureAction::start);
}

void stop_communication(Program& program) {
    if (program.MSComm1.is_open()) program.MSComm1.close();
    if (program.MSComm2.is_open()) program.MSComm2.close();
    record_action(program, CaptureAction::stop);
    program.window.set_caption(Control::Command1, caption::kStartCommunication);
    set_sending_controls_enabled(program.window, false);
}

}  // namespace

std::u16string port_title(const Program& program, const SerialPort& port) {
    std::u16string title(&port == &program.MSComm1 ? kTerminalPort : kMonitorPort);
    title += u"（";
    title += port.device_name();
    title += u"）";
    return title;
}

void Command1_Click(Program& program) {
    stop_watching(program);
    if (!program.MSComm1.is_open()) {
        start_communication(program);
    } else {
        stop_communication(program);
    }
}

void Command2_Click(Program& program) {
    WindowOps& window = program.window;
    SharedState& state = program.state;
    // A second press while the first waits for its hang-up byte would send another.
    if (state.exiting) return;
    state.exiting = true;
    stop_watching(program);
    if (window.caption(Control::Command4) == caption::kPutReceiverDown && communication_running(window)) {
        // The hang-up byte, with a wait that ends: a held line must not keep the program.
        send_within(program, command_code::kOnHook, kExitHangUpWait);
    }
    window.unload_window();
    state.ended = true;
    window.end_program();
}

void lose_line(Program& program, const SerialPort& port, std::u16string_view reason, std::u16string_view gloss) {
    if (program.state.ended || !communication_running(program.window)) return;
    const std::u16string problem = port_problem(program, port, kLineLost, reason);
    record_event(program, u"line lost: " + problem);
    // Close first: a dead port left open keeps failing, and the box below runs events.
    stop_communication(program);
    show_critical(program, problem, port_problem_gloss(program, port, kLineLostGloss, gloss));
    watch_for_device(program, port);
}

}  // namespace mirvane
