#pragma once
// Bytes on a serial line take time: at 600 baud with 11 bits a byte (start, 8 data, even
// parity, stop) one byte needs 18.3 ms, and a byte waits for the one before it.

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

namespace mirvane::sim {

using Clock = std::chrono::steady_clock;

inline constexpr int kBaud = 600;
inline constexpr int kBitsPerByte = 11;
inline constexpr std::chrono::nanoseconds kByteTime{1'000'000'000LL * kBitsPerByte / kBaud};

class PacedLine {
public:
    // byte_time zero: every byte arrives the moment it is sent.
    explicit PacedLine(Clock::duration byte_time) : byte_time_(byte_time) {}

    // Starts a byte at now, or when the byte before it has arrived; it arrives one byte
    // time later.
    void send(std::uint8_t byte, Clock::time_point now);

    // When the next byte arrives, if one is on its way.
    std::optional<Clock::time_point> next_arrival() const;

    // The bytes that have arrived by now, in order.
    std::vector<std::uint8_t> arrived(Clock::time_point now);

    bool empty() const { return on_the_way_.empty(); }
    void clear() { on_the_way_.clear(); }

private:
    struct Transit {
        Clock::time_point arrival;
        std::uint8_t byte;
    };
    Clock::duration byte_time_;
    std::deque<Transit> on_the_way_;
    Clock::time_point free_at_{};
};

}  // namespace mirvane::sim
