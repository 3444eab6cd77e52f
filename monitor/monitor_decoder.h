#pragma once
// The monitor line taps the host-to-terminal direction; each byte seen there is named
// and entered into the message log on its own.

#include <cstdint>
#include <span>
#include <string>

#include "program/program.h"

namespace mirvane {

// The name of a command code as seen on the monitor line; "*" for an unnamed byte.
std::u16string monitor_meaning(std::uint8_t byte);

// The code column of a monitor entry: four empty columns, then the code.
std::u16string monitor_code_pattern(std::uint8_t byte);

// The OnComm event of the monitor port.
void MSComm2_OnComm(Program& program);

// Enters bytes already read from the monitor line, all with one time of day.
void log_monitor_bytes(Program& program, std::span<const std::uint8_t> bytes, std::u16string_view time_of_day);

}  // namespace mirvane
