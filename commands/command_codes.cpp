#include "commands/command_codes.h"

#include <array>

namespace mirvane {

namespace {

struct DialRow {
    char16_t character;
    std::uint8_t code;
};

constexpr std::array<DialRow, 16> kDialTable{{
    {u'1', 0x91}, {u'2', 0x92}, {u'3', 0x93}, {u'4', 0x94}, {u'5', 0x95}, {u'6', 0x96},
    {u'7', 0x97}, {u'8', 0x98}, {u'9', 0x99}, {u'0', 0x9A}, {u'*', 0x9B}, {u'#', 0x9C},
    {u'A', 0x9D}, {u'B', 0x9E}, {u'C', 0x9F}, {u'D', 0x90},
}};

}  // namespace

std::u16string dial_label(std::u16string_view character) {
    std::u16string label = u"Dial [";
    label += character;
    label += u"]";
    return label;
}

void dial_conv(std::u16string_view c, std::uint8_t& buf) {
    if (c.size() != 1) return;
    for (const DialRow& row : kDialTable) {
        if (row.character == c.front()) {
            buf = row.code;
            return;
        }
    }
}

}  // namespace mirvane
