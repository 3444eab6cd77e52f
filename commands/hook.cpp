#include "commands/hook.h"

#include "link/send.h"
#include "program/captions.h"
#include "vocabulary/command_codes.h"

namespace mirvane {

namespace {

bool send_command(Program& program, std::u16string_view name, std::uint8_t code) {
    return MSComm_send(program, std::u16string(name), code);
}

}  // namespace

void hang_up(Program& program) { send_command(program, command_name::kOnHook, command_code::kOnHook); }

void Command4_Click(Program& program) {
    WindowOps& window = program.window;
    if (window.caption(Control::Command4) == caption::kLiftReceiver && communication_running(window)) {
        window.set_caption(Control::Command4, caption::kPutReceiverDown);
        // When the line went away under the first code, the second has nowhere to go.
        if (!send_command(program, command_name::kOffHook, command_code::kOffHook)) return;
        send_command(program, command_name::kCallerNumberShown, command_code::kCallerNumberShown);
    } else if (communication_running(window)) {
        window.set_caption(Control::Command4, caption::kLiftReceiver);
        hang_up(program);
    }
}

}  // namespace mirvane
