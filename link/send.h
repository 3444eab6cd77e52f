#pragma once
// MSComm_send: the one road by which a command code reaches the terminal.

#include <cstdint>
#include <string>

#include "shell/program.h"

namespace mirvane {

// Writes one byte to the terminal line and lets pending events run until it has left.
// Returns false, at once and without touching the port, when the byte could not be
// delivered: the port is closed, terminal communication was stopped or restarted during
// the wait, or the program has ended. Callers then abandon the rest of their codes.
// The label names the command for the reader of the code; it is never shown.
bool MSComm_send(Program& program, const std::u16string& c, const std::uint8_t& buff);

}  // namespace mirvane
