#pragma once
// Sending bytes typed in hexadecimal, and clearing the display.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "program/program.h"

namespace mirvane {

// The bytes a hex text stands for: pairs of hexadecimal digits (either case) with nothing
// between them. Empty, odd-length or non-hex texts stand for nothing and give no value.
std::optional<std::vector<std::uint8_t>> parse_hex_codes(std::u16string_view text);

// Sends the bytes typed in Text6, read once at the press; nothing at all unless the whole
// text is well formed.
void Command8_Click(Program& program);

// Empties both stores and panes, marks the clear in the session log, and puts the status
// decoder back to its ready state.
void Command7_Click(Program& program);

}  // namespace mirvane
