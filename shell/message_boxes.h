#pragma once

#include <string_view>

#include "shell/program.h"

namespace mirvane {

// Shows the critical message box. A box is modal and events keep running while it is
// open, so a box asked for meanwhile is queued and shown after the open one closes:
// one box per request, in order, never one inside another.
void show_critical(Program& program, std::u16string_view message);

}  // namespace mirvane
