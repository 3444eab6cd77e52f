#pragma once
// The hook button. The receiver's state is the caption of Command4 and nothing else.

#include "program/program.h"

namespace mirvane {

// Lifts the receiver (0xA7, then 0xEB) or puts it down (0xA6), alternating per press,
// only while terminal communication runs. The caption changes before the first code.
void Command4_Click(Program& program);

// Sends the on-hook code. Changes no caption.
void hang_up(Program& program);

}  // namespace mirvane
