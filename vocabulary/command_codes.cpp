#include "vocabulary/command_codes.h"

#include "vocabulary/names.h"

namespace mirvane {

std::u16string dial_label(std::u16string_view character) {
    std::u16string label = u"Dial [";
    label += character;
    label += u"]";
    return label;
}

std::u16string command_meaning(std::uint8_t code) {
    // dial_conv1 alone knows which bytes are dial codes: it leaves the text empty for the rest.
    std::u16string character;
    dial_conv1(character, code);
    if (!character.empty()) return dial_label(character);
    for (const CommandRow& row : kCommandRows) {
        if (row.code == code) return std::u16string(row.name);
    }
    return u"*";
}

void dial_conv(std::u16string_view c, std::uint8_t& buf) {
    // The sixteen dial codes mean the same in both directions, so the decoder's names of
    // them are the one table of dial characters.
    for (int code = command_code::kDialBase; code <= command_code::kDialLast; ++code) {
        std::u16string character;
        dial_conv1(character, static_cast<std::uint8_t>(code));
        if (character == c) {
            buf = static_cast<std::uint8_t>(code);
            return;
        }
    }
}

}  // namespace mirvane
