#pragma once
// The status mix of the end-to-end measurements: two one-byte codes, a level (logged only
// the first time), a tone, a four-parameter message and a byte without meaning.

#include <array>
#include <cstdint>
#include <vector>

namespace mirvane::bench {

inline std::vector<std::uint8_t> status_mix(std::size_t bytes) {
    static constexpr std::array<std::uint8_t, 10> kPattern{0x80, 0x81, 0xC3, 0x21, 0xAD, 0x31, 0x32, 0x33, 0x34, 0x00};
    std::vector<std::uint8_t> mix(bytes);
    for (std::size_t i = 0; i < bytes; ++i) mix[i] = kPattern[i % kPattern.size()];
    return mix;
}

}  // namespace mirvane::bench
