#include "link/marked_input.h"

namespace mirvane {

namespace {

constexpr std::uint8_t kMarkFirst = 0xFF;
constexpr std::uint8_t kMarkSecond = 0x00;

}  // namespace

std::vector<std::uint8_t> MarkedInput::unmark(std::span<const std::uint8_t> read) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(read.size());
    for (const std::uint8_t byte : read) {
        switch (state_) {
            case State::plain:
                if (byte == kMarkFirst) {
                    state_ = State::after_ff;
                } else {
                    bytes.push_back(byte);
                }
                break;
            case State::after_ff:
                if (byte == kMarkSecond) {
                    state_ = State::after_mark;
                    break;
                }
                // 0xFF 0xFF is one 0xFF. Anything else the driver does not send; the 0xFF is
                // kept rather than lost, and the byte taken as it is.
                bytes.push_back(kMarkFirst);
                if (byte != kMarkFirst) bytes.push_back(byte);
                state_ = State::plain;
                break;
            case State::after_mark:
                bytes.push_back(kParityReplacement);
                state_ = State::plain;
                break;
        }
    }
    return bytes;
}

}  // namespace mirvane
