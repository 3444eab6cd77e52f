// Bytes on a line take their time: 11 bits at 600 baud each, one after the other.

#include <gtest/gtest.h>

#include "sim/paced_line.h"

namespace mirvane::sim {
namespace {

using namespace std::chrono_literals;

const Clock::time_point t0{};

TEST(PacedLine, a_byte_at_600_baud_takes_11_bit_times) {
    EXPECT_EQ(kByteTime, 18'333'333ns);
}

TEST(PacedLine, a_byte_arrives_one_byte_time_after_it_is_sent) {
    PacedLine line(kByteTime);
    line.send(0xA7, t0);
    EXPECT_EQ(line.next_arrival(), t0 + kByteTime);
    EXPECT_TRUE(line.arrived(t0 + kByteTime - 1ns).empty());
    EXPECT_EQ(line.arrived(t0 + kByteTime), std::vector<std::uint8_t>{0xA7});
    EXPECT_TRUE(line.empty());
    EXPECT_FALSE(line.next_arrival());
}

TEST(PacedLine, bytes_sent_together_follow_each_other_in_order) {
    PacedLine line(kByteTime);
    line.send(0x20, t0);
    line.send(0xA6, t0);
    line.send(0xAF, t0);
    EXPECT_EQ(line.arrived(t0 + 2 * kByteTime), (std::vector<std::uint8_t>{0x20, 0xA6}));
    EXPECT_EQ(line.next_arrival(), t0 + 3 * kByteTime);
    EXPECT_EQ(line.arrived(t0 + 10s), std::vector<std::uint8_t>{0xAF});
}

TEST(PacedLine, a_byte_sent_after_a_quiet_spell_starts_at_once) {
    PacedLine line(kByteTime);
    line.send(0x01, t0);
    line.arrived(t0 + 1s);
    line.send(0x02, t0 + 1s);
    EXPECT_EQ(line.next_arrival(), t0 + 1s + kByteTime);
}

TEST(PacedLine, a_byte_sent_while_another_is_on_the_line_waits_for_it) {
    PacedLine line(kByteTime);
    line.send(0x01, t0);
    line.send(0x02, t0 + 5ms);
    line.arrived(t0 + kByteTime);
    EXPECT_EQ(line.next_arrival(), t0 + 2 * kByteTime);
}

TEST(PacedLine, the_pace_does_not_drift_over_a_long_burst) {
    PacedLine line(kByteTime);
    for (int i = 0; i < 600; ++i) line.send(static_cast<std::uint8_t>(i), t0);
    // 600 bytes of 11 bits at 600 baud: exactly 11 seconds, give or take the rounding
    // of one byte time to whole nanoseconds.
    const auto last = t0 + 11s;
    EXPECT_EQ(line.arrived(last - 1us).size(), 599u);
    EXPECT_EQ(line.arrived(last).size(), 1u);
}

TEST(PacedLine, at_full_speed_every_byte_arrives_at_once) {
    PacedLine line(Clock::duration::zero());
    line.send(0x01, t0);
    line.send(0x02, t0);
    EXPECT_EQ(line.arrived(t0), (std::vector<std::uint8_t>{0x01, 0x02}));
}

TEST(PacedLine, clearing_loses_what_was_on_the_way) {
    PacedLine line(kByteTime);
    line.send(0x01, t0);
    line.clear();
    EXPECT_TRUE(line.arrived(t0 + 1s).empty());
}

}  // namespace
}  // namespace mirvane::sim
