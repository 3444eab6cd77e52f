#pragma once
// MSComm_send: the one road by which a command code reaches the terminal.

#include <chrono>
#include <cstdint>
#include <string>

#include "program/program.h"

namespace mirvane {

// Sends waiting one inside another, more than an operator ever makes by hand: past this a
// press sends nothing, so that a held line and a storm of presses cannot exhaust the stack.
inline constexpr int kMostWaitingSends = 32;

// Writes one byte to the terminal line and lets pending events run until it has left.
// Returns false, at once and without touching the port, when the byte could not be
// delivered: the port is closed, terminal communication was stopped or restarted during
// the wait, the program has ended, or too many sends wait already (the operator is told
// once). Callers then abandon the rest of their codes. The label names the command for
// the reader of the code; it is never shown.
bool MSComm_send(Program& program, const std::u16string& c, const std::uint8_t& buff);

// The same for a byte that must not hold the program up for longer than `limit`: it gives up
// waiting then and returns false. It is sent even when many sends wait already.
bool send_within(Program& program, std::uint8_t code, std::chrono::milliseconds limit);

}  // namespace mirvane
