// From two readings of the driver's counters (or of the modem lines) to the events the
// ports raise: one per new occurrence, in a fixed order, across the counters' wrap.

#include <gtest/gtest.h>

#include "link/line_counters.h"

namespace mirvane {

void PrintTo(const LineEventCount& e, std::ostream* os) { *os << "{" << e.event << " x" << e.count << "}"; }

namespace {

using Events = std::vector<LineEventCount>;
constexpr std::uint32_t kMax = 0xFFFFFFFF;

TEST(LineCounters, two_readings_raise_each_new_occurrence_line_states_first) {
    const struct {
        LineCounters earlier, later;
        Events expected;
    } cases[] = {
        // Each counter moves by its own amount; bytes sent and received are no event.
        // clang-format off
        {{}, {.cts = 10, .dsr = 9, .rng = 7, .dcd = 8, .rx = 900, .tx = 12, .frame = 5, .overrun = 4, .parity = 2,
              .brk = 6, .buf_overrun = 3},
         {{3, 10}, {4, 9}, {5, 8}, {6, 7}, {1001, 6}, {1004, 5}, {1006, 4}, {1008, 3}, {1009, 2}}},
        // clang-format on
        // The driver's counters wrap at 2^32.
        {{.dcd = kMax, .frame = kMax - 1, .brk = kMax}, {.frame = 1}, {{5, 1}, {1001, 1}, {1004, 3}}},
    };
    for (const auto& c : cases) EXPECT_EQ(new_line_events(c.earlier, c.later), c.expected);
}

// A ring counts once RI falls again, as the driver counts it.
TEST(LineCounters, two_modem_line_readings_raise_one_event_per_line_that_moved) {
    const ModemLines low{}, high{true, true, true, true};
    EXPECT_EQ(changed_modem_lines(high, high), Events{});
    EXPECT_EQ(changed_modem_lines(low, high), (Events{{3, 1}, {4, 1}, {5, 1}}));
    EXPECT_EQ(changed_modem_lines(high, low), (Events{{3, 1}, {4, 1}, {5, 1}, {6, 1}}));
}

}  // namespace
}  // namespace mirvane
