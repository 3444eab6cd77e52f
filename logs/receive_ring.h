#pragma once
// The receive ring: the last rx_size bytes from the terminal, shown newest first in Text1.

#include <cstdint>

#include "program/program.h"

namespace mirvane {

// Stores one received byte at rx_pos and moves rx_pos on.
void store_received_byte(SharedState& state, std::uint8_t byte);

// Shows the ring's text in the receive pane. The text is that of a full render at this
// moment, drawn when the window reads it; the work is that of the codes that came since the
// last read, or of the whole ring once as many bytes as it holds came.
void disp_RxData(Program& program);

}  // namespace mirvane
