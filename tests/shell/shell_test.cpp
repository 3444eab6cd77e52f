// Start-up, start and stop of terminal communication, exit, the close box, boxes and a lost line.

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "commands/dialling.h"
#include "commands/hook.h"
#include "support/bench.h"

namespace mirvane::testing {
namespace {

void expect_sending_controls(const Bench& bench, bool enabled) {
    for (const Control control : {Control::Command3, Control::Command4, Control::Command6, Control::Command8}) {
        EXPECT_EQ(bench.window.is_enabled(control), enabled) << int(control);
    }
    for (int index = 1; index <= 12; ++index) EXPECT_EQ(bench.window.keypad_enabled.at(index), enabled);
}

TEST(StartUp, leaves_the_window_idle_with_empty_panes_and_both_lines_configured_but_closed) {
    Bench bench;
    EXPECT_EQ(bench.window.shows, 1);
    EXPECT_EQ(bench.receive_pane() + bench.log_pane() + bench.window.text(Control::Text4), u"");
    const std::pair<Control, std::u16string> captions[] = {
        {Control::Command1, u"端末通信開始"}, {Control::Command2, u"終了"},
        {Control::Command3, u"番号ダイヤル"}, {Control::Command4, u"受話器を上げる"},
        {Control::Label1, u"受信レベル："},   {Control::Label2, u"Tone ："},
        {Control::Label3, u"RS-232C 受信"},   {Control::Label4, u"RS-232C 送受信情報"}};
    for (const auto& [control, caption] : captions) EXPECT_EQ(bench.window.caption(control), caption);
    expect_sending_controls(bench, false);
    for (const auto& [port, number] : {std::pair(&bench.terminal, 1), std::pair(&bench.monitor, 2)}) {
        EXPECT_EQ(std::tuple(port->comm_port, port->settings, port->rthreshold, port->sthreshold, port->input_mode,
                             port->opens),
                  std::tuple(number, u"600,E,8,1", 1, 0, 1, 0));
    }
    // Both rings hold 200: the 201st byte and entry push the first ones out.
    for (int i = 0; i <= 200; ++i) bench.receive({static_cast<std::uint8_t>(0x80 + i % 2)});
    const std::u16string log = bench.log_pane();
    EXPECT_EQ(bench.receive_pane().size(), 200u * 3 - 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), u'\n'), 199);
}

TEST(StartStop, opens_and_closes_both_lines_together_and_keeps_panes_hook_and_digits) {
    Bench bench(true);
    EXPECT_TRUE(bench.terminal.is_open() && bench.monitor.is_open());
    EXPECT_EQ(bench.window.caption(Control::Command1), u"端末通信終了");
    expect_sending_controls(bench, true);
    Command4_Click(bench.program);
    Command5_Click(bench.program, 7);
    bench.receive({0x80});
    bench.terminal.line.clear();
    Command1_Click(bench.program);
    EXPECT_FALSE(bench.terminal.is_open() || bench.monitor.is_open());
    EXPECT_EQ(bench.window.caption(Control::Command1), u"端末通信開始");
    expect_sending_controls(bench, false);
    Command1_Click(bench.program);
    EXPECT_EQ(bench.terminal.opens + bench.monitor.opens, 4);
    EXPECT_EQ(bench.log_pane(), u"80 __ __ __ __ : [10:15:01] 圏外表示OFF");
    EXPECT_EQ(bench.window.text(Control::Text4), u"7");
    EXPECT_TRUE(bench.terminal.line.empty()) << "starting and stopping send nothing";
    Command4_Click(bench.program);
    EXPECT_EQ(bench.terminal.line, Bytes{0xA6}) << "the receiver stayed up across the stop";
    EXPECT_EQ(bench.terminal.misuses + bench.monitor.misuses, 0);
}

TEST(StartStop, a_bench_without_a_monitor_line_opens_the_terminal_line_alone) {
    Bench bench;
    bench.program.monitor_line = false;
    Command1_Click(bench.program);
    EXPECT_TRUE(bench.terminal.is_open() && bench.monitor.opens == 0);
    expect_sending_controls(bench, true);
}

TEST(StartStop, a_line_that_cannot_open_is_reported_once_and_nothing_starts) {
    for (const bool monitor_fails : {false, true}) {
        Bench bench;
        (monitor_fails ? bench.monitor : bench.terminal).open_failure = OpenFailure{u"使用中です"};
        Command1_Click(bench.program);
        EXPECT_EQ(bench.window.boxes,
                  std::vector<std::u16string>{monitor_fails ? u"モニタポート（/dev/ttyS1）を開けません：使用中です"
                                                            : u"端末ポート（/dev/ttyS0）を開けません：使用中です"});
        EXPECT_FALSE(bench.terminal.is_open() || bench.monitor.is_open());
        EXPECT_EQ(bench.monitor.opens, monitor_fails ? 1 : 0);
        EXPECT_EQ(bench.window.caption(Control::Command1), u"端末通信開始");
        expect_sending_controls(bench, false);
    }
}

// Exit puts the receiver down before the line closes, only while communication runs and the
// receiver is up; then nothing more is handled. The close box only closes the terminal line.
TEST(Exit, puts_the_receiver_down_first_only_while_communication_runs_and_the_close_box_never) {
    for (const auto& [stopped_first, lifted, by_close_box] :
         {std::tuple(false, true, false), std::tuple(true, true, false), std::tuple(false, false, false),
          std::tuple(false, true, true)}) {
        Bench bench(true);
        if (lifted) Command4_Click(bench.program);
        if (stopped_first) Command1_Click(bench.program);
        bench.terminal.line.clear();
        Bytes line_at_unload{0x00};
        bench.window.on_unload = [&] { line_at_unload = bench.terminal.line, Form_Unload(bench.program); };
        by_close_box ? bench.window.unload_window() : Command2_Click(bench.program);
        bench.raise(bench.monitor, 1009);
        EXPECT_EQ(bench.window.boxes.size(), by_close_box ? 1u : 0u) << "handled until the program has ended";
        EXPECT_EQ(line_at_unload, lifted && !stopped_first && !by_close_box ? Bytes{0xA6} : Bytes{});
        EXPECT_TRUE(!bench.terminal.is_open() && bench.window.ends == !by_close_box && bench.terminal.misuses == 0);
    }
    Bench idle;
    Form_Unload(idle.program);
    EXPECT_EQ(idle.terminal.misuses + idle.monitor.misuses, 0) << "the close box when idle touches no port";
}

TEST(Exit, on_a_held_line_gives_its_hang_up_byte_a_second_and_a_second_press_sends_nothing) {
    Bench bench(true);
    Command4_Click(bench.program);
    std::size_t waiting_after_second_press = 0;
    bench.window.after_yield = [&] {  // the line takes nothing
        if (bench.window.yields == 500)
            Command2_Click(bench.program), waiting_after_second_press = bench.terminal.pending.size();
    };
    const auto started = bench.window.elapsed;
    Command2_Click(bench.program);
    EXPECT_EQ(waiting_after_second_press, 1u) << "one A6 only";
    EXPECT_GE(bench.window.elapsed - started, kExitHangUpWait);
    EXPECT_LT(bench.window.elapsed - started, 2 * kExitHangUpWait);
    EXPECT_TRUE(!bench.terminal.is_open() && bench.window.ends == 1 && bench.terminal.misuses == 0);
}

TEST(Boxes, a_storm_of_errors_gives_one_box_after_another_never_one_inside_another) {
    Bench bench(true);
    int storm = 0;
    bench.window.while_box_open = [&] {  // events keep running while a box is open
        if (storm++ < 3) bench.raise(bench.terminal, 1009), bench.raise(bench.monitor, 1001);
    };
    bench.raise(bench.terminal, 1004);
    EXPECT_EQ(bench.window.deepest_boxes, 1);
    std::vector<std::u16string> expected{u"フレーム エラー"};
    for (int i = 0; i < 3; ++i) expected.insert(expected.end(), {u"パリティ エラー", u"中断信号を受信"});
    EXPECT_EQ(bench.window.boxes, expected);
}

TEST(LineLoss, stops_communication_once_with_one_box_and_start_works_again) {
    Bench bench(true);
    lose_line(bench.program, bench.terminal, u"応答なし");
    lose_line(bench.program, bench.monitor, u"応答なし");
    EXPECT_EQ(bench.window.boxes,
              std::vector<std::u16string>{
                  u"端末ポート（/dev/ttyS0）との通信が途絶えたため、端末通信を終了しました：応答なし"});
    EXPECT_FALSE(bench.terminal.is_open() || bench.monitor.is_open());
    EXPECT_EQ(bench.window.caption(Control::Command1), u"端末通信開始");
    expect_sending_controls(bench, false);
    Command1_Click(bench.program);
    EXPECT_TRUE(bench.terminal.is_open());
    EXPECT_EQ(bench.terminal.misuses + bench.monitor.misuses, 0);
}

}  // namespace
}  // namespace mirvane::testing
