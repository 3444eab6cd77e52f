#pragma once
// Start-up, reset and the closing of the window.

#include "program/program.h"

namespace mirvane {

inline constexpr std::int16_t kRingSize = 200;

// The program's entry: sizes the rings, runs the load handler and shows the window.
void Main(Program& program);

// The window's load event: configures both ports without opening them, resets, and
// leaves every sending control disabled.
void Form_Load(Program& program);

// Resets captions, panes, decoder state and both stores.
void config1(Program& program);

// The window's unload event: the terminal port is closed if it is open.
void Form_Unload(Program& program);

// Enables or disables every control that sends to the terminal, in the fixed order.
void set_sending_controls_enabled(WindowOps& window, bool enabled);

}  // namespace mirvane
