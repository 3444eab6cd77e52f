#include "commands/dialling.h"

#include <algorithm>

#include "commands/command_codes.h"
#include "decode/names.h"
#include "link/send.h"
#include "shell/startup.h"

namespace mirvane {

namespace {

bool is_dial_character(char16_t ch) {
    return (ch >= u'0' && ch <= u'9') || ch == u'*' || ch == u'#';
}

void record_dialled(Program& program, std::u16string_view character) {
    program.state.dial_number += character;
    program.window.set_text(Control::Text4, program.state.dial_number);
}

}  // namespace

bool is_dialable_number(std::u16string_view number) {
    return !number.empty() && std::all_of(number.begin(), number.end(), is_dial_character);
}

void Command3_Click(Program& program) {
    WindowOps& window = program.window;
    window.set_enabled(Control::Command3, false);
    // Read once: editing the field during the dialling changes nothing.
    const std::u16string number = window.text(Control::Text3);
    if (is_dialable_number(number)) {
        for (const char16_t ch : number) {
            const std::u16string character(1, ch);
            std::uint8_t code = 0;
            dial_conv(character, code);
            if (!MSComm_send(program, dial_label(character), code)) break;
            record_dialled(program, character);
        }
    }
    // A stop during the dialling disabled every sending control; it stays so.
    if (communication_running(window)) window.set_enabled(Control::Command3, true);
}

void Command5_Click(Program& program, int index) {
    if (index < kKeypadFirst || index > kKeypadLast) return;
    const std::uint8_t code = static_cast<std::uint8_t>(command_code::kDialBase + index);
    std::u16string character;
    dial_conv1(character, code);
    if (MSComm_send(program, dial_label(character), code)) record_dialled(program, character);
}

void Command6_Click(Program& program) {
    MSComm_send(program, std::u16string(command_name::kDialComplete), command_code::kDialComplete);
}

}  // namespace mirvane
