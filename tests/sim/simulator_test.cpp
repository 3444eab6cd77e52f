// The simulator over real pseudo-terminal pairs, with the test on the program's side of
// both lines: the tap, the answers, who listens when, pacing, scripts and levels.

#include <gtest/gtest.h>

#include "far_end.h"
#include "running_simulator.h"

namespace mirvane::sim::testing {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

Script script_of(const char* text) { return std::get<Script>(parse_script(text, "test")); }

TEST(LineTap, a_whole_outgoing_call_is_answered_and_every_command_is_tapped) {
    RunningSimulator sim;
    FarEnd terminal(sim.terminal_path());
    FarEnd monitor(sim.monitor_path());

    terminal.send({0xA7, 0xEB});
    EXPECT_EQ(terminal.receive(2), (Bytes{0xA7, 0x21}));
    terminal.send({0x91, 0x92, 0x9A});
    EXPECT_EQ(terminal.receive(3), (Bytes{0x91, 0x92, 0x9A}));
    terminal.send({0x86});
    EXPECT_EQ(terminal.receive(1), (Bytes{0xAA}));
    terminal.send({0xA6});
    EXPECT_EQ(terminal.receive(3), (Bytes{0x20, 0xA6, 0xAF}));

    EXPECT_EQ(monitor.receive(7), (Bytes{0xA7, 0xEB, 0x91, 0x92, 0x9A, 0x86, 0xA6}));
    EXPECT_EQ(terminal.receive_for(100ms), Bytes{}) << "nothing more than the answers";
    EXPECT_EQ(monitor.receive_for(100ms), Bytes{}) << "nothing more than the commands";
}

TEST(LineTap, every_byte_value_is_copied_in_order_and_nothing_else) {
    SimulatorSettings settings = quick_settings();
    settings.answers = false;
    RunningSimulator sim(std::move(settings));
    FarEnd terminal(sim.terminal_path());
    FarEnd monitor(sim.monitor_path());

    Bytes all(256);
    for (int i = 0; i < 256; ++i) all[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    terminal.send(all);
    EXPECT_EQ(monitor.receive(256), all);
    EXPECT_EQ(terminal.receive_for(100ms), Bytes{}) << "a silent handset says nothing";
}

TEST(LineTap, bytes_the_program_writes_on_the_monitor_line_go_nowhere) {
    RunningSimulator sim;
    FarEnd terminal(sim.terminal_path());
    FarEnd monitor(sim.monitor_path());
    monitor.send({0xA7, 0xA6});
    EXPECT_EQ(terminal.receive_for(100ms), Bytes{}) << "the handset hears only the terminal line";
    terminal.send({0x86});
    EXPECT_EQ(monitor.receive(1), Bytes{0x86});
    sim.stop();
    EXPECT_EQ(sim.traffic().monitor_ignored, 2);
    EXPECT_EQ(sim.failure(), std::nullopt);
}

TEST(Listening, the_handset_says_nothing_until_the_line_is_set_to_600_baud) {
    SimulatorSettings settings = quick_settings();
    settings.script = script_of("+0 A5 22\n");
    RunningSimulator sim(std::move(settings));
    FarEnd terminal(sim.terminal_path(), /*listen=*/false);
    EXPECT_EQ(terminal.receive_for(200ms), Bytes{});
    terminal.listen();
    EXPECT_EQ(terminal.receive(2), (Bytes{0xA5, 0x22})) << "the script starts with the line";
}

TEST(Listening, answers_and_taps_for_a_port_nobody_reads_are_lost_not_kept) {
    RunningSimulator sim;
    FarEnd terminal(sim.terminal_path(), /*listen=*/false);
    FarEnd monitor(sim.monitor_path(), /*listen=*/false);
    terminal.send({0xA7});
    std::this_thread::sleep_for(200ms);
    terminal.listen();
    monitor.listen();
    EXPECT_EQ(terminal.receive_for(150ms), Bytes{});
    EXPECT_EQ(monitor.receive_for(50ms), Bytes{});
    terminal.send({0xA6});
    EXPECT_EQ(terminal.receive(3), (Bytes{0x20, 0xA6, 0xAF}));
    EXPECT_EQ(monitor.receive(1), Bytes{0xA6});
}

TEST(Listening, the_program_can_close_its_ports_and_open_them_again) {
    RunningSimulator sim;
    {
        FarEnd terminal(sim.terminal_path());
        FarEnd monitor(sim.monitor_path());
        terminal.send({0xA7, 0xEB});
        EXPECT_EQ(terminal.receive(2), (Bytes{0xA7, 0x21}));
        EXPECT_EQ(monitor.receive(2), (Bytes{0xA7, 0xEB}));
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

TEST(Scripts, an_incoming_call_from_a_script_is_answered_by_lifting) {
    SimulatorSettings settings = quick_settings();
    settings.script = script_of("+0 A5 22\n+0 AD 30 33 31 32\n");
    RunningSimulator sim(std::move(settings));
    FarEnd terminal(sim.terminal_path());
    EXPECT_EQ(terminal.receive(7), (Bytes{0xA5, 0x22, 0xAD, 0x30, 0x33, 0x31, 0x32}));
    terminal.send({0xA7, 0xEB});
    EXPECT_EQ(terminal.receive(3), (Bytes{0xA4, 0x20, 0xA7}));
}

TEST(Scripts, a_step_waits_for_its_time_after_the_line_comes_up) {
    SimulatorSettings settings = quick_settings();
    settings.script = script_of("+150 AF\n+100 A2\n");
    RunningSimulator sim(std::move(settings));
    FarEnd terminal(sim.terminal_path(), /*listen=*/false);
    const auto up = std::chrono::steady_clock::now();
    terminal.listen();
    EXPECT_EQ(terminal.receive(1), Bytes{0xAF});
    EXPECT_GE(std::chrono::steady_clock::now() - up, 150ms);
    EXPECT_EQ(terminal.receive(1), Bytes{0xA2});
    EXPECT_GE(std::chrono::steady_clock::now() - up, 250ms);
}

TEST(Pacing, at_line_speed_a_command_and_its_answers_take_their_byte_times) {
    SimulatorSettings settings = quick_settings();
    settings.full_speed = false;
    RunningSimulator sim(std::move(settings));
    FarEnd terminal(sim.terminal_path());
    std::this_thread::sleep_for(50ms);  // the simulator sees the line come up
    const auto sent = std::chrono::steady_clock::now();
    terminal.send({0xA6});
    EXPECT_EQ(terminal.receive(3), (Bytes{0x20, 0xA6, 0xAF}));
    // One byte in, three out: no sooner than four byte times of 18.3 ms.
    EXPECT_GE(std::chrono::steady_clock::now() - sent, 4 * kByteTime);
}

class LevelReports : public ::testing::Test {
protected:
    static SimulatorSettings chatty() {
        SimulatorSettings settings = quick_settings();
        settings.levels = true;
        settings.seed = 99;
        settings.first_level_after = 10ms;
        settings.level_every_min = 20ms;
        settings.level_every_max = 40ms;
        return settings;
    }
    static bool is_level(std::uint8_t b) { return b >= 0xC0 && b <= 0xCF; }
};

TEST_F(LevelReports, between_calls_each_report_is_a_new_level) {
    RunningSimulator sim(chatty());
    FarEnd terminal(sim.terminal_path());
    const Bytes reports = terminal.receive(6);
    ASSERT_EQ(reports.size(), 6u);
    for (std::size_t i = 0; i < reports.size(); ++i) {
        EXPECT_TRUE(is_level(reports[i])) << std::hex << int(reports[i]);
        if (i > 0) {
            EXPECT_NE(reports[i], reports[i - 1]);
        }
    }
}

TEST_F(LevelReports, they_pause_during_a_call_and_come_back_after_it) {
    RunningSimulator sim(chatty());
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
    EXPECT_TRUE(is_level(after.front()));
}

}  // namespace
}  // namespace mirvane::sim::testing
