#pragma once

#include <string_view>

#include "program/program.h"

namespace mirvane {

// Shows the critical message box. A box is modal and events keep running while it is
// open, so a box asked for meanwhile is queued and shown after the open one closes:
// one box per request, in order, never one inside another.
void show_critical(Program& program, std::u16string_view message);

// Asks for a box where no event may run yet: it waits in the queue until the open box or
// show_pending_boxes shows it.
void queue_critical(Program& program, std::u16string_view message);

// Shows the boxes queued meanwhile, unless a box is open (which shows them after itself).
void show_pending_boxes(Program& program);

}  // namespace mirvane
