#pragma once

#include <cstdint>
#include <string>

namespace mirvane {

// A byte as exactly two upper-case hexadecimal digits ("05", "A6").
inline std::u16string hex_text(std::uint8_t byte) {
    constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    return {kDigits[byte >> 4], kDigits[byte & 0x0F]};
}

}  // namespace mirvane
