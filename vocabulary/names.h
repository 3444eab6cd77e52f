#pragma once
// Short operator names of dial codes and tone kinds. Both write their answer into the
// caller's text and leave it untouched for a value outside their table.

#include <cstdint>
#include <string>
#include <string_view>

namespace mirvane {

// 0x90..0x9F to "D", "1".."9", "0", "*", "#", "A".."C".
void dial_conv1(std::u16string& text, const std::uint8_t& code);

// tone_kind 0..15 to its tone name; 16 and above leave the text as it was.
void tone_ana(std::u16string& text, std::uint8_t tone_kind);

// tone_kind 0..15's name in English; empty from 16 on.
std::string_view tone_gloss(std::uint8_t tone_kind);

}  // namespace mirvane
