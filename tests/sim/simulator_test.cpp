// The simulator over real pseudo-terminal pairs, with the test on the program's side of
// both lines: the answers and the tap, who listens when, scripts and level reports.

#include <gtest/gtest.h>

#include "running_simulator.h"

namespace mirvane::sim::testing {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

// The handset's answers are its table's (handset_test); the end-to-end test logs whole
// calls. Here: the pace, the tap, and the monitor line that carries nothing in.
TEST(OverPtys, at_line_speed_a_command_is_tapped_and_answered_in_byte_times_and_nothing_else_comes) {
    SimulatorSettings settings = quick_settings();
    settings.full_speed = false;
    RunningSimulator sim(std::move(settings));
    FarEnd terminal(sim.terminal_path());
    FarEnd monitor(sim.monitor_path());
    monitor.send({0xA7, 0xA6});  // the handset hears only the terminal line
    const auto sent = Clock::now();
    terminal.send({0xA6});
    EXPECT_EQ(terminal.receive(3), (Bytes{0x20, 0xA6, 0xAF}));
    EXPECT_GE(Clock::now() - sent, 4 * 18ms) << "one byte in and three out at 600 baud";
    EXPECT_EQ(monitor.receive(1), Bytes{0xA6});
    EXPECT_EQ(terminal.receive_for(100ms), Bytes{}) << "nothing more than the answers";
    EXPECT_EQ(monitor.receive_for(100ms), Bytes{}) << "nothing more than the command";
    sim.stop();
    EXPECT_EQ(sim.traffic().monitor_ignored, 2);
    EXPECT_EQ(sim.failure(), std::nullopt);
}

TEST(OverPtys, a_silent_handset_taps_every_byte_value_in_order_and_says_nothing) {
    SimulatorSettings settings = quick_settings();
    settings.answers = false;
    RunningSimulator sim(std::move(settings));
    FarEnd terminal(sim.terminal_path());
    FarEnd monitor(sim.monitor_path());
    Bytes all(256);
    for (int i = 0; i < 256; ++i) all[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    terminal.send(all);
    EXPECT_EQ(monitor.receive(256), all);
    EXPECT_EQ(terminal.receive_for(100ms), Bytes{});
}

TEST(OverPtys, a_line_carries_nothing_until_set_to_600_baud_and_again_once_the_program_reopens_it) {
    SimulatorSettings settings = quick_settings();
    settings.script = std::get<Script>(parse_script("+150 AF\n+100 A2\n", "test"));
    RunningSimulator sim(std::move(settings));
    {
        FarEnd terminal(sim.terminal_path(), /*listen=*/false);
        FarEnd monitor(sim.monitor_path(), /*listen=*/false);
        terminal.send({0xA7});  // its answer and its tap are lost, not kept for later
        EXPECT_EQ(terminal.receive_for(300ms), Bytes{});
        const auto up = Clock::now();
        terminal.listen();
        monitor.listen();
        EXPECT_EQ(terminal.receive(1), Bytes{0xAF}) << "the script starts with the line";
        EXPECT_GE(Clock::now() - up, 150ms);
        EXPECT_EQ(terminal.receive(1), Bytes{0xA2});
        EXPECT_GE(Clock::now() - up, 250ms);
        EXPECT_EQ(monitor.receive_for(50ms), Bytes{});
    }
    std::this_thread::sleep_for(100ms);  // the simulator sees the lines go down
    FarEnd terminal(sim.terminal_path());
    FarEnd monitor(sim.monitor_path());
    terminal.send({0xA6});
    EXPECT_EQ(terminal.receive(3), (Bytes{0x20, 0xA6, 0xAF}));
    EXPECT_EQ(monitor.receive(1), Bytes{0xA6});
    sim.stop();
    EXPECT_EQ(sim.failure(), std::nullopt);
}

// That every report is a new level, the end-to-end test shows: each one is logged.
TEST(OverPtys, level_reports_pause_during_a_call_and_come_back_after_it) {
    SimulatorSettings settings = quick_settings();
    settings.levels = true;
    settings.seed = 99;
    settings.first_level_after = 10ms;
    settings.level_every_min = 20ms;
    settings.level_every_max = 40ms;
    RunningSimulator sim(std::move(settings));
    FarEnd terminal(sim.terminal_path());
    ASSERT_EQ(terminal.receive(1).size(), 1u);
    terminal.send({0xA7, 0xEB});
    // Reports already on their way may come before the answer; none after it.
    Bytes seen;
    while (seen.empty() || seen.back() != 0x21) {
        const Bytes next = terminal.receive(1, 2s);
        ASSERT_EQ(next.size(), 1u) << "the dial tone never came";
        seen.push_back(next.front());
    }
    EXPECT_EQ(terminal.receive_for(300ms), Bytes{}) << "no level report during the call";
    terminal.send({0xA6});
    EXPECT_EQ(terminal.receive(3), (Bytes{0x20, 0xA6, 0xAF}));
    const Bytes after = terminal.receive(1, 2s);
    ASSERT_EQ(after.size(), 1u);
    EXPECT_TRUE(after.front() >= 0xC0 && after.front() <= 0xCF) << std::hex << int(after.front());
}

}  // namespace
}  // namespace mirvane::sim::testing
