#include "shell/startup.h"

#include "decode/status_decoder.h"
#include "link/line_settings.h"
#include "logs/message_log.h"
#include "logs/session_records.h"
#include "program/captions.h"

namespace mirvane {

void Main(Program& program) {
    program.state.log_size = kRingSize;
    program.state.rx_size = kRingSize;
    Form_Load(program);
    program.window.show_window();
}

void Form_Load(Program& program) {
    WindowOps& window = program.window;
    configure_port(program.MSComm1, kTerminalPortNumber);
    configure_port(program.MSComm2, kMonitorPortNumber);
    config1(program);
    window.set_caption(Control::Label4, caption::kLogHeading);
    window.set_caption(Control::Label3, caption::kReceiveHeading);
    program.state.dial_number.clear();
    window.set_text(Control::Text4, program.state.dial_number);
    set_sending_controls_enabled(window, false);
}

void config1(Program& program) {
    WindowOps& window = program.window;
    window.set_caption(Control::Command1, caption::kStartCommunication);
    window.set_caption(Control::Command2, caption::kExit);
    window.set_caption(Control::Command3, caption::kDialNumber);
    window.set_caption(Control::Command4, caption::kLiftReceiver);
    window.set_caption(Control::Label1, caption::kLevelPrefix);
    window.set_caption(Control::Label2, caption::kToneIdle);
    window.set_text(Control::Text6, u"");
    clear_logs(program);
    reset_status_decoder(program.state);
}

void Form_Unload(Program& program) {
    record_unfinished(program);
    record_event(program, u"exit");
    if (program.MSComm1.is_open()) program.MSComm1.close();
}

void set_sending_controls_enabled(WindowOps& window, bool enabled) {
    for (const Control control : {Control::Command3, Control::Command4, Control::Command6, Control::Command8}) {
        window.set_enabled(control, enabled);
    }
    for (int index = kKeypadFirst; index <= kKeypadLast; ++index) {
        window.set_keypad_enabled(index, enabled);
    }
}

}  // namespace mirvane
