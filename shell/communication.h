#pragma once
// Start and stop of terminal communication, and the exit button.

#include <chrono>
#include <string_view>

#include "program/program.h"

namespace mirvane {

// Start: opens the terminal port, then the monitor port, and enables the sending
// controls. Stop: closes both and disables them.
void Command1_Click(Program& program);

// How long the exit waits for its hang-up byte to leave: many byte times at 600 baud.
inline constexpr std::chrono::milliseconds kExitHangUpWait{1000};

// Exit: puts the receiver down first if it is up while communication runs, then unloads
// the window and ends the program. It always ends: the hang-up byte is waited for
// kExitHangUpWait at most, and a second press meanwhile does nothing.
void Command2_Click(Program& program);

// A line that failed while open (a USB adapter pulled, the far side of a pseudo-terminal
// gone): stops terminal communication as the stop button would, then tells the operator
// once, `gloss` being the reason in English; with reconnect chosen, the line is then waited
// for. Nothing happens when communication is not running.
void lose_line(Program& program, const SerialPort& port, std::u16string_view reason, std::u16string_view gloss);

// "端末ポート" or "モニタポート" with the device, as messages name a port.
std::u16string port_title(const Program& program, const SerialPort& port);

}  // namespace mirvane
