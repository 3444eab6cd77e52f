// From two readings of the driver's counters (or of the modem lines) to the events the
// ports raise: one per new occurrence, in a fixed order, across the counters' wrap.

#include <gtest/gtest.h>

#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "link/line_counters.h"

namespace mirvane {

void PrintTo(const LineEventCount& e, std::ostream* os) {
    *os << "{" << e.event << " x" << e.count << "}";
}

namespace {

constexpr std::uint32_t kMax = std::numeric_limits<std::uint32_t>::max();

struct CounterCase {
    std::string name;
    LineCounters earlier;
    LineCounters later;
    std::vector<LineEventCount> expected;
};

void PrintTo(const CounterCase& c, std::ostream* os) { *os << c.name; }

// A reading in which every counter already stands at `base`, as on a line in long use.
LineCounters all_at(std::uint32_t base) {
    return {base, base, base, base, base, base, base, base, base, base, base};
}

template <typename Edit>
LineCounters with(LineCounters counters, Edit edit) {
    edit(counters);
    return counters;
}

class CounterReadings : public ::testing::TestWithParam<CounterCase> {};

TEST_P(CounterReadings, raise_one_event_per_new_occurrence_in_fixed_order) {
    const CounterCase& c = GetParam();
    EXPECT_EQ(new_line_events(c.earlier, c.later), c.expected);
}

const LineCounters kUsed = all_at(5000);

INSTANTIATE_TEST_SUITE_P(
    LineCounters, CounterReadings,
    ::testing::Values(
        CounterCase{"nothing_new", kUsed, kUsed, {}},
        CounterCase{"traffic_alone_is_no_event",
                    kUsed, with(kUsed, [](auto& c) { c.rx += 900; c.tx += 12; }), {}},
        CounterCase{"a_break", kUsed, with(kUsed, [](auto& c) { c.brk += 1; }), {{1001, 1}}},
        CounterCase{"a_framing_error", kUsed, with(kUsed, [](auto& c) { c.frame += 1; }), {{1004, 1}}},
        CounterCase{"a_hardware_overrun", kUsed, with(kUsed, [](auto& c) { c.overrun += 1; }), {{1006, 1}}},
        CounterCase{"a_buffer_overflow", kUsed, with(kUsed, [](auto& c) { c.buf_overrun += 1; }), {{1008, 1}}},
        CounterCase{"a_parity_error", kUsed, with(kUsed, [](auto& c) { c.parity += 1; }), {{1009, 1}}},
        CounterCase{"cts_changed", kUsed, with(kUsed, [](auto& c) { c.cts += 1; }), {{3, 1}}},
        CounterCase{"dsr_changed", kUsed, with(kUsed, [](auto& c) { c.dsr += 1; }), {{4, 1}}},
        CounterCase{"cd_changed", kUsed, with(kUsed, [](auto& c) { c.dcd += 1; }), {{5, 1}}},
        CounterCase{"a_ring", kUsed, with(kUsed, [](auto& c) { c.rng += 1; }), {{6, 1}}},
        CounterCase{"a_storm_of_parity_errors_is_that_many_events",
                    kUsed, with(kUsed, [](auto& c) { c.parity += 1234; }), {{1009, 1234}}},
        CounterCase{"everything_at_once_states_first_then_errors_by_number",
                    kUsed,
                    with(kUsed, [](auto& c) {
                        c.parity += 2; c.buf_overrun += 3; c.overrun += 4; c.frame += 5;
                        c.brk += 6; c.rng += 7; c.dcd += 8; c.dsr += 9; c.cts += 10;
                    }),
                    {{3, 10}, {4, 9}, {5, 8}, {6, 7}, {1001, 6}, {1004, 5}, {1006, 4}, {1008, 3}, {1009, 2}}},
        CounterCase{"a_counter_that_wraps_counts_across_the_wrap",
                    all_at(kMax - 1), with(all_at(kMax - 1), [](auto& c) { c.frame = 1; }), {{1004, 3}}},
        CounterCase{"a_counter_exactly_at_the_wrap",
                    all_at(kMax), with(all_at(kMax), [](auto& c) { c.brk = 0; c.dcd = 0; }),
                    {{5, 1}, {1001, 1}}},
        CounterCase{"counters_fresh_from_the_driver",
                    all_at(0), with(all_at(0), [](auto& c) { c.overrun = 70000; c.cts = 1; }),
                    {{3, 1}, {1006, 70000}}}),
    [](const auto& info) { return info.param.name; });

struct ModemCase {
    std::string name;
    ModemLines earlier;
    ModemLines later;
    std::vector<LineEventCount> expected;
};

void PrintTo(const ModemCase& c, std::ostream* os) { *os << c.name; }

class ModemReadings : public ::testing::TestWithParam<ModemCase> {};

TEST_P(ModemReadings, raise_one_event_per_line_that_moved) {
    const ModemCase& c = GetParam();
    EXPECT_EQ(changed_modem_lines(c.earlier, c.later), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    ModemLines, ModemReadings,
    ::testing::Values(
        ModemCase{"all_low_and_steady", {}, {}, {}},
        ModemCase{"all_high_and_steady", {true, true, true, true}, {true, true, true, true}, {}},
        ModemCase{"cts_rises", {}, {.cts = true}, {{3, 1}}},
        ModemCase{"cts_falls", {.cts = true}, {}, {{3, 1}}},
        ModemCase{"dsr_rises", {}, {.dsr = true}, {{4, 1}}},
        ModemCase{"dsr_falls", {.dsr = true}, {}, {{4, 1}}},
        ModemCase{"cd_rises", {}, {.cd = true}, {{5, 1}}},
        ModemCase{"cd_falls", {.cd = true}, {}, {{5, 1}}},
        ModemCase{"ri_rising_is_not_yet_a_ring", {}, {.ri = true}, {}},
        ModemCase{"ri_falling_completes_a_ring", {.ri = true}, {}, {{6, 1}}},
        ModemCase{"several_lines_at_once_in_event_order",
                  {.cts = true, .ri = true}, {.dsr = true, .cd = true}, {{3, 1}, {4, 1}, {5, 1}, {6, 1}}}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace mirvane
