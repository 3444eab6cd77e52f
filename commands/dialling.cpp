#include "commands/dialling.h"

#include <algorithm>

#include "link/send.h"
#include "program/captions.h"
#include "vocabulary/command_codes.h"
#include "vocabulary/names.h"

namespace mirvane {

namespace {

bool is_dial_character(char16_t ch) { return (ch >= u'0' && ch <= u'9') || ch == u'*' || ch == u'#'; }

// Sends one dial code. Its character joins dial_number once its send and every send written
// before it have returned, so that the record keeps the order in which the bytes went out;
// a character whose send was cut off is left out.
bool dial(Program& program, std::uint8_t code) {
    SharedState& state = program.state;
    using Send = SharedState::DialInFlight::Send;
    std::u16string character;
    dial_conv1(character, code);
    // A deque keeps references to its elements while others are added behind them.
    SharedState::DialInFlight& mine =
        state.dials_in_flight.emplace_back(SharedState::DialInFlight{character.front(), Send::waiting});
    const bool sent = MSComm_send(program, dial_label(character), code);
    mine.send = sent ? Send::sent : Send::cut_off;
    bool recorded = false;
    while (!state.dials_in_flight.empty() && state.dials_in_flight.front().send != Send::waiting) {
        if (state.dials_in_flight.front().send == Send::sent) {
            state.dial_number += state.dials_in_flight.front().character;
            recorded = true;
        }
        state.dials_in_flight.pop_front();
    }
    if (recorded) program.window.set_text(Control::Text4, state.dial_number);
    return sent;
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
            std::uint8_t code = 0;
            dial_conv(std::u16string(1, ch), code);
            if (!dial(program, code)) break;
        }
    }
    // A stop during the dialling disabled every sending control; it stays so.
    if (communication_running(window)) window.set_enabled(Control::Command3, true);
}

void Command5_Click(Program& program, int index) {
    if (index < kKeypadFirst || index > kKeypadLast) return;
    dial(program, static_cast<std::uint8_t>(command_code::kDialBase + index));
}

void Command6_Click(Program& program) {
    MSComm_send(program, std::u16string(command_name::kDialComplete), command_code::kDialComplete);
}

}  // namespace mirvane
