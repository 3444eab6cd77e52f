#pragma once
// Number dialling, the keypad and dial complete.

#include <string_view>

#include "program/program.h"

namespace mirvane {

// Whether a typed number can be dialled: not empty, and only "0"-"9", "*" and "#".
bool is_dialable_number(std::u16string_view number);

// Dials the number in Text3, character by character; nothing when it is not dialable.
void Command3_Click(Program& program);

// Sends the dial code of keypad key `index` (1..12).
void Command5_Click(Program& program, int index);

// Sends dial complete.
void Command6_Click(Program& program);

}  // namespace mirvane
