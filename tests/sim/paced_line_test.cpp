// Bytes on a line take their time, one after the other.

#include <gtest/gtest.h>

#include <deque>
#include <random>

#include "sim/paced_line.h"

namespace mirvane::sim {
namespace {

using namespace std::chrono_literals;

// Over bursts and quiet spells alike: a byte starts when it is sent or when the byte
// before it has arrived, whichever is later, and arrives one byte time after; the bytes
// come out in order, none before its time and none later than asked for.
TEST(PacedLine, each_byte_arrives_one_byte_time_after_the_line_is_free_for_it_in_order) {
    PacedLine line(kByteTime);
    std::mt19937 random(7);
    std::deque<std::pair<Clock::time_point, std::uint8_t>> expected;
    Clock::time_point now{};
    Clock::time_point free{};
    for (int i = 0; i < 3000; ++i) {
        // Now and then exactly when the next byte is due, else often within a byte time.
        if (i % 3 == 0 && !expected.empty()) {
            now = expected.front().first;
        } else {
            now += std::chrono::microseconds(random() % 60'000);
        }
        std::vector<std::uint8_t> due;
        while (!expected.empty() && expected.front().first <= now) {
            due.push_back(expected.front().second);
            expected.pop_front();
        }
        ASSERT_EQ(line.arrived(now), due) << "at step " << i;
        for (unsigned n = random() % 4; n > 0; --n) {
            const auto byte = static_cast<std::uint8_t>(random());
            line.send(byte, now);
            free = std::max(free, now) + kByteTime;
            expected.emplace_back(free, byte);
        }
        ASSERT_EQ(line.next_arrival(),
                  expected.empty() ? std::nullopt : std::optional(expected.front().first));
        ASSERT_EQ(line.empty(), expected.empty());
    }
}

}  // namespace
}  // namespace mirvane::sim
