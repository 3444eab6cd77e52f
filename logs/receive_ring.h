#pragma once
// The receive ring: the last rx_size bytes from the terminal, shown newest first in Text1.

#include <cstdint>
#include <string>

#include "shell/program.h"

namespace mirvane {

// Stores one received byte at rx_pos and moves rx_pos on.
void store_received_byte(SharedState& state, std::uint8_t byte);

// The receive pane's text: newest byte first, one space between codes.
std::u16string render_receive_pane(const SharedState& state);

// Sets the receive pane to the ring's text. The text is that of a full render; the work
// is that of the newest code when only the newest slot changed since the last render.
void disp_RxData(Program& program);

}  // namespace mirvane
