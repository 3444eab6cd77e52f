#pragma once
// The terminal line's input as the driver marks it. Asked to mark bytes received in error,
// a POSIX driver puts 0xFF 0x00 in front of such a byte (a break comes as 0xFF 0x00 0x00)
// and doubles a 0xFF received whole. The line gives the decoder a byte in error as "?",
// so the marks are taken out here, the way they arrive: a read may end inside one.

#include <cstdint>
#include <span>
#include <vector>

namespace mirvane {

// What a byte received in error (parity, framing, a break) becomes.
inline constexpr std::uint8_t kParityReplacement = '?';

class MarkedInput {
public:
    // The bytes of one read with the marks taken out; a mark cut off at the end of the read
    // is kept and finished by the next.
    std::vector<std::uint8_t> unmark(std::span<const std::uint8_t> read);
    // A new opening of the line: nothing half read is left.
    void reset() { state_ = State::plain; }

private:
    enum class State : std::uint8_t { plain, after_ff, after_mark };
    State state_ = State::plain;
};

}  // namespace mirvane
