#pragma once
// Hexadecimal as the panes write bytes and as operators and scripts type them.

#include <cstdint>
#include <string>

namespace mirvane {

// One upper-case digit for the low four bits of value.
inline char16_t hex_digit(unsigned value) { return u"0123456789ABCDEF"[value & 0x0F]; }

// A byte as exactly two upper-case hexadecimal digits ("05", "A6").
inline std::u16string hex_text(std::uint8_t byte) { return {hex_digit(byte >> 4u), hex_digit(byte)}; }

// The value of one hexadecimal digit of either case, or -1 for any other character.
template <typename Char>
int hex_value(Char ch) {
    if (ch >= Char('0') && ch <= Char('9')) return ch - Char('0');
    if (ch >= Char('A') && ch <= Char('F')) return ch - Char('A') + 10;
    if (ch >= Char('a') && ch <= Char('f')) return ch - Char('a') + 10;
    return -1;
}

}  // namespace mirvane
