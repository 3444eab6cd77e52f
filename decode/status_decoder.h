#pragma once
// R_Analize: turns the terminal's status bytes into the receive ring, the message log and
// the level and tone labels.

#include "program/program.h"

namespace mirvane {

// Puts the decoder back to its ready state and forgets the last tone and level, so the
// next report of either is logged even when it repeats the last one.
void reset_status_decoder(SharedState& state);

// The OnComm event of the terminal port: received bytes go to R_Analize, a communication
// error to its box.
void MSComm1_OnComm(Program& program);

// Takes every byte waiting on the terminal line and decodes them in order.
void R_Analize(Program& program);

// Decodes bytes already read from the line, all stamped with one time of day.
void decode_status_bytes(Program& program, std::span<const std::uint8_t> bytes, std::u16string_view time_of_day);

}  // namespace mirvane
