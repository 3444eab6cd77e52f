// Start-up, start and stop of terminal communication, exit and the close box.

#include <gtest/gtest.h>

#include "commands/dialling.h"
#include "commands/hook.h"
#include "shell/communication.h"
#include "support/bench.h"

namespace mirvane::testing {
namespace {

constexpr Control kSendingButtons[] = {Control::Command3, Control::Command4, Control::Command6,
                                       Control::Command8};

void expect_sending_controls(const Bench& bench, bool enabled) {
    for (const Control control : kSendingButtons) {
        EXPECT_EQ(bench.window.is_enabled(control), enabled) << int(control);
    }
    for (int index = 1; index <= 12; ++index) {
        EXPECT_EQ(bench.window.is_keypad_enabled(index), enabled) << "key " << index;
    }
}

TEST(StartUp, leaves_the_window_idle_with_empty_panes_and_closed_ports) {
    Bench bench;
    EXPECT_EQ(bench.window.shows, 1);
    EXPECT_EQ(bench.receive_pane(), u"");
    EXPECT_EQ(bench.log_pane(), u"");
    EXPECT_EQ(bench.window.text(Control::Text4), u"");
    EXPECT_EQ(bench.state.rx_pos, 0);
    EXPECT_EQ(bench.state.log_pos, 0);
    EXPECT_EQ(bench.state.rx_size, 200);
    EXPECT_EQ(bench.state.log_size, 200);
    EXPECT_EQ(bench.window.caption(Control::Command1), u"端末通信開始");
    EXPECT_EQ(bench.window.caption(Control::Command4), u"受話器を上げる");
    EXPECT_EQ(bench.window.caption(Control::Label1), u"受信レベル：");
    EXPECT_EQ(bench.window.caption(Control::Label2), u"Tone ：");
    EXPECT_EQ(bench.window.caption(Control::Label3), u"RS-232C 受信");
    EXPECT_EQ(bench.window.caption(Control::Label4), u"RS-232C 送受信情報");
    expect_sending_controls(bench, false);
    EXPECT_EQ(bench.window.enabled.count(Control::Command1), 0u) << "never switched";
    EXPECT_EQ(bench.window.enabled.count(Control::Command7), 0u) << "never switched";
}

TEST(StartUp, configures_both_lines_without_opening_them) {
    Bench bench;
    for (const auto* port : {&bench.terminal, &bench.monitor}) {
        EXPECT_EQ(port->settings, u"600,E,8,1");
        EXPECT_EQ(port->rthreshold, 1);
        EXPECT_EQ(port->sthreshold, 0);
        EXPECT_EQ(port->input_mode, 1);
        EXPECT_FALSE(port->is_open());
        EXPECT_EQ(port->opens, 0);
    }
    EXPECT_EQ(bench.terminal.comm_port, 1);
    EXPECT_EQ(bench.monitor.comm_port, 2);
}

TEST(StartStop, opens_and_closes_both_lines_together_and_switches_the_sending_controls) {
    Bench bench;
    Command1_Click(bench.program);
    EXPECT_TRUE(bench.terminal.is_open());
    EXPECT_TRUE(bench.monitor.is_open());
    EXPECT_EQ(bench.window.caption(Control::Command1), u"端末通信終了");
    expect_sending_controls(bench, true);

    bench.receive({0x80});
    Command1_Click(bench.program);
    EXPECT_FALSE(bench.terminal.is_open());
    EXPECT_FALSE(bench.monitor.is_open());
    EXPECT_EQ(bench.window.caption(Control::Command1), u"端末通信開始");
    expect_sending_controls(bench, false);
    EXPECT_EQ(bench.top_line(), u"80 __ __ __ __ : [10:15:01] 圏外表示OFF") << "panes survive a stop";

    Command1_Click(bench.program);
    EXPECT_EQ(bench.terminal.opens, 2);
    EXPECT_EQ(bench.monitor.opens, 2);
    EXPECT_EQ(bench.terminal.misuses + bench.monitor.misuses, 0);
    EXPECT_TRUE(bench.terminal.line.empty()) << "starting and stopping send nothing";
}

TEST(StartStop, a_terminal_port_that_cannot_open_is_reported_and_nothing_starts) {
    Bench bench;
    bench.terminal.open_failure = OpenFailure{u"デバイスが見つかりません"};
    Command1_Click(bench.program);
    ASSERT_EQ(bench.window.boxes.size(), 1u);
    EXPECT_EQ(bench.window.boxes[0], u"端末ポート（/dev/ttyS0）を開けません：デバイスが見つかりません");
    EXPECT_FALSE(bench.terminal.is_open());
    EXPECT_EQ(bench.monitor.opens, 0);
    EXPECT_EQ(bench.window.caption(Control::Command1), u"端末通信開始");
    expect_sending_controls(bench, false);
}

TEST(StartStop, a_monitor_port_that_cannot_open_closes_the_terminal_port_again) {
    Bench bench;
    bench.monitor.open_failure = OpenFailure{u"使用中です"};
    Command1_Click(bench.program);
    ASSERT_EQ(bench.window.boxes.size(), 1u);
    EXPECT_EQ(bench.window.boxes[0], u"モニタポート（/dev/ttyS1）を開けません：使用中です");
    EXPECT_FALSE(bench.terminal.is_open());
    EXPECT_EQ(bench.terminal.closes, 1);
    EXPECT_EQ(bench.window.caption(Control::Command1), u"端末通信開始");
    expect_sending_controls(bench, false);

    bench.monitor.open_failure.reset();
    Command1_Click(bench.program);
    EXPECT_EQ(bench.window.caption(Control::Command1), u"端末通信終了");
}

TEST(StartStop, the_hook_state_and_dialled_digits_survive_stop_and_start) {
    Bench bench;
    Command1_Click(bench.program);
    Command4_Click(bench.program);
    Command5_Click(bench.program, 7);
    Command1_Click(bench.program);
    EXPECT_EQ(bench.window.caption(Control::Command4), u"受話器をおく");
    Command1_Click(bench.program);
    EXPECT_EQ(bench.window.text(Control::Text4), u"7");
    bench.terminal.line.clear();
    Command4_Click(bench.program);
    EXPECT_EQ(bench.terminal.line, (std::vector<std::uint8_t>{0xA6}));
    EXPECT_EQ(bench.window.caption(Control::Command4), u"受話器を上げる");
}

TEST(Exit, with_the_receiver_up_sends_on_hook_before_the_port_closes) {
    Bench bench;
    Command1_Click(bench.program);
    Command4_Click(bench.program);
    bench.terminal.line.clear();
    std::vector<std::uint8_t> line_at_unload;
    bench.window.on_unload = [&] {
        line_at_unload = bench.terminal.line;
        Form_Unload(bench.program);
    };
    Command2_Click(bench.program);
    EXPECT_EQ(line_at_unload, (std::vector<std::uint8_t>{0xA6}));
    EXPECT_FALSE(bench.terminal.is_open());
    EXPECT_EQ(bench.window.ends, 1);
    EXPECT_EQ(bench.terminal.misuses, 0);
}

TEST(Exit, sends_nothing_with_the_receiver_down_or_communication_stopped) {
    Bench down;
    Command1_Click(down.program);
    Command2_Click(down.program);
    EXPECT_TRUE(down.terminal.line.empty());
    EXPECT_EQ(down.window.ends, 1);

    Bench stopped;
    Command1_Click(stopped.program);
    Command4_Click(stopped.program);
    Command1_Click(stopped.program);
    stopped.terminal.line.clear();
    Command2_Click(stopped.program);
    EXPECT_TRUE(stopped.terminal.line.empty());
    EXPECT_EQ(stopped.terminal.misuses, 0);
    EXPECT_EQ(stopped.window.ends, 1);
}

TEST(CloseBox, closes_the_terminal_port_and_sends_nothing_even_with_the_receiver_up) {
    Bench bench;
    Command1_Click(bench.program);
    Command4_Click(bench.program);
    bench.terminal.line.clear();
    Form_Unload(bench.program);
    EXPECT_FALSE(bench.terminal.is_open());
    EXPECT_TRUE(bench.terminal.line.empty());
    EXPECT_EQ(bench.window.caption(Control::Command4), u"受話器をおく");
}

TEST(CloseBox, in_the_idle_state_touches_no_port) {
    Bench bench;
    Form_Unload(bench.program);
    EXPECT_EQ(bench.terminal.closes + bench.monitor.closes, 0);
    EXPECT_EQ(bench.terminal.misuses, 0);
}

TEST(LineLoss, stops_communication_once_with_one_box_and_start_works_again) {
    Bench bench;
    Command1_Click(bench.program);
    lose_line(bench.program, bench.terminal, u"デバイスが取り外されました");
    lose_line(bench.program, bench.terminal, u"デバイスが取り外されました");
    ASSERT_EQ(bench.window.boxes.size(), 1u);
    EXPECT_EQ(bench.window.boxes[0],
              u"端末ポート（/dev/ttyS0）との通信が途絶えたため、端末通信を終了しました：デバイスが取り外されました");
    EXPECT_FALSE(bench.terminal.is_open());
    EXPECT_FALSE(bench.monitor.is_open());
    EXPECT_EQ(bench.window.caption(Control::Command1), u"端末通信開始");
    expect_sending_controls(bench, false);

    Command1_Click(bench.program);
    EXPECT_TRUE(bench.terminal.is_open());
    EXPECT_EQ(bench.terminal.misuses + bench.monitor.misuses, 0);
}

}  // namespace
}  // namespace mirvane::testing
