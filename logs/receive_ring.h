#pragma once
// The receive ring: the last rx_size bytes from the terminal, shown newest first in Text1.

#include <cstdint>

#include "program/program.h"

namespace mirvane {

// Stores one received byte at rx_pos and moves rx_pos on.
void store_received_byte(SharedState& state, std::uint8_t byte);

// Sets the receive pane to the ring's text. The text is that of a full render; the work
// is that of the newest code when the ring has moved on by one byte since the last render.
void disp_RxData(Program& program);

}  // namespace mirvane
