#pragma once
// With --reconnect, a line lost while communication ran is waited for: once its box and the
// stop have come, the binding watches the lines' devices and says when they open again, and
// terminal communication starts again as the start button starts it. The operator's own
// start, stop or exit ends the wait: what they press is what happens.

#include <string>
#include <string_view>
#include <vector>

#include "program/program.h"

namespace mirvane {

// After a lost line's stop and box: waits for the lines when the session asked for it.
void watch_for_device(Program& program, const SerialPort& lost);

// Whether the binding should keep watching.
bool watching_for_device(const Program& program);

// The devices that must all open again before communication can: every line the session uses.
std::vector<std::u16string> awaited_devices(const Program& program);

// The binding found every awaited device there and opening: communication starts again. A
// start that fails anyway says so in the start button's box, and the wait ends, so that a
// device that is there but refuses gives one box, not one every check.
void device_returned(Program& program);

// The operator pressed start, stop or exit: the wait, if any, ends.
void stop_watching(Program& program);

}  // namespace mirvane
