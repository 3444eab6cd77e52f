#pragma once

#include <string_view>

#include "program/program.h"

namespace mirvane {

// Asks for the critical message box. A box is modal and runs events until OK, so it is never
// shown inside the handler that asks for it: that handler's line would be read no more while
// the box stands, and what came meanwhile would be decoded at OK, stamped with that moment.
// The box is queued and the window shows the queue on a later turn of the event loop; a box
// asked for while one is open comes after it: one box per request, in order, never one
// inside another.
// The box's text also goes to standard error at once, as one line with its English (`gloss`),
// so that a terminal or a service log says what the box said.
void show_critical(Program& program, std::u16string_view message, std::u16string_view gloss);

// The window's later turn: shows the queued boxes one after another, unless a box is open
// (which shows them after itself) or the program has ended.
void show_pending_boxes(Program& program);

}  // namespace mirvane
