// Start-up, start and stop of terminal communication, exit, the close box, boxes and a lost line.

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "commands/dialling.h"
#include "commands/hook.h"
#include "support/core_rig.h"

namespace mirvane::testing {
namespace {

// What start and stop change: the start button's caption, the lines, the sending controls.
void expect_running(const CoreRig& rig, bool running, bool monitor_open) {
    EXPECT_EQ(rig.window.caption(Control::Command1), running ? u"端末通信終了" : u"端末通信開始");
    EXPECT_EQ(std::pair(rig.terminal.is_open(), rig.monitor.is_open()), std::pair(running, monitor_open));
    for (const Control control : {Control::Command3, Control::Command4, Control::Command6, Control::Command8}) {
        EXPECT_EQ(rig.window.is_enabled(control), running) << int(control);
    }
    for (int index = 1; index <= 12; ++index) EXPECT_EQ(rig.window.keypad_enabled.at(index), running);
}
void expect_running(const CoreRig& rig, bool running) { expect_running(rig, running, running); }

TEST(StartUp, leaves_the_window_idle_with_empty_panes_and_both_lines_closed) {
    CoreRig rig;
    EXPECT_EQ(rig.window.shows, 1);
    EXPECT_EQ(rig.receive_pane() + rig.log_pane() + rig.window.text(Control::Text4), u"");
    const std::pair<Control, std::u16string> captions[] = {
        {Control::Command1, u"端末通信開始"}, {Control::Command2, u"終了"},
        {Control::Command3, u"番号ダイヤル"}, {Control::Command4, u"受話器を上げる"},
        {Control::Label1, u"受信レベル："},   {Control::Label2, u"Tone ："},
        {Control::Label3, u"RS-232C 受信"},   {Control::Label4, u"RS-232C 送受信情報"}};
    for (const auto& [control, caption] : captions) EXPECT_EQ(rig.window.caption(control), caption);
    expect_running(rig, false);
    // Both rings hold 200: the 201st byte and entry push the first ones out.
    for (int i = 0; i <= 200; ++i) rig.receive({static_cast<std::uint8_t>(0x80 + i % 2)});
    const std::u16string log = rig.log_pane();
    EXPECT_EQ(rig.receive_pane().size(), 200u * 3 - 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), u'\n'), 199);
}

TEST(StartStop, opens_and_closes_both_lines_together_and_keeps_panes_hook_and_digits) {
    CoreRig rig(true);
    expect_running(rig, true);
    Command4_Click(rig.program);
    Command5_Click(rig.program, 7);
    rig.receive({0x80});
    rig.terminal.line.clear();
    Command1_Click(rig.program);
    expect_running(rig, false);
    Command1_Click(rig.program);
    EXPECT_EQ(rig.terminal.opens + rig.monitor.opens, 4);
    EXPECT_EQ(rig.log_pane(), u"80 __ __ __ __ : [10:15:01] 圏外表示OFF");
    EXPECT_EQ(rig.window.text(Control::Text4), u"7");
    EXPECT_TRUE(rig.terminal.line.empty()) << "starting and stopping send nothing";
    Command4_Click(rig.program);
    EXPECT_EQ(rig.terminal.line, Bytes{0xA6}) << "the receiver stayed up across the stop";
    EXPECT_EQ(rig.terminal.misuses + rig.monitor.misuses, 0);
}

TEST(StartStop, a_bench_without_a_monitor_line_opens_the_terminal_line_alone) {
    CoreRig rig;
    rig.program.monitor_line = false;
    Command1_Click(rig.program);
    EXPECT_EQ(rig.monitor.opens, 0);
    expect_running(rig, true, false);
}

TEST(StartStop, a_line_that_cannot_open_is_reported_once_and_nothing_starts) {
    for (const bool monitor_fails : {false, true}) {
        CoreRig rig;
        (monitor_fails ? rig.monitor : rig.terminal).open_failure = OpenFailure{u"使用中です", u"in use"};
        Command1_Click(rig.program);
        rig.turn();
        EXPECT_EQ(rig.window.boxes,
                  std::vector<std::u16string>{monitor_fails ? u"モニタポート（/dev/ttyS1）を開けません：使用中です"
                                                            : u"端末ポート（/dev/ttyS0）を開けません：使用中です"});
        EXPECT_EQ(rig.monitor.opens, monitor_fails ? 1 : 0);
        // Each box is also one line on standard error, with its English.
        EXPECT_EQ(
            rig.window.warnings,
            (monitor_fails
                 ? std::vector<std::u16string>{u"mirvane: the monitor line (/dev/ttyS1) cannot be "
                                               u"opened; a bench with one adapter runs with "
                                               u"--monitor-port none",
                                               u"mirvane: モニタポート（/dev/ttyS1）を開けません：使用中です (the "
                                               u"monitor port (/dev/ttyS1) cannot be opened: in use)"}
                 : std::vector<std::u16string>{u"mirvane: 端末ポート（/dev/ttyS0）を開けません：使用中です (the "
                                               u"terminal port (/dev/ttyS0) cannot be opened: in use)"}));
        expect_running(rig, false);
    }
}

// Exit puts the receiver down before the line closes, only while communication runs and the
// receiver is up; then nothing more is handled. The close box only closes the terminal line.
TEST(Exit, puts_the_receiver_down_first_only_while_communication_runs_and_the_close_box_never) {
    for (const auto& [stopped_first, lifted, by_close_box] :
         {std::tuple(false, true, false), std::tuple(true, true, false), std::tuple(false, false, false),
          std::tuple(false, true, true)}) {
        CoreRig rig(true);
        if (lifted) Command4_Click(rig.program);
        if (stopped_first) Command1_Click(rig.program);
        rig.terminal.line.clear();
        Bytes line_at_unload{0x00};
        rig.window.on_unload = [&] { line_at_unload = rig.terminal.line, Form_Unload(rig.program); };
        by_close_box ? rig.window.unload_window() : Command2_Click(rig.program);
        rig.raise(rig.monitor, 1009);
        EXPECT_EQ(rig.window.boxes.size(), by_close_box ? 1u : 0u) << "handled until the program has ended";
        EXPECT_EQ(line_at_unload, lifted && !stopped_first && !by_close_box ? Bytes{0xA6} : Bytes{});
        EXPECT_EQ(std::tuple(rig.terminal.is_open(), rig.window.ends, rig.terminal.misuses),
                  std::tuple(false, int(!by_close_box), 0));
    }
    CoreRig idle;
    Form_Unload(idle.program);
    EXPECT_EQ(idle.terminal.misuses + idle.monitor.misuses, 0) << "the close box when idle touches no port";
}

TEST(Exit, on_a_held_line_gives_its_hang_up_byte_a_second_and_a_second_press_sends_nothing) {
    CoreRig rig(true);
    Command4_Click(rig.program);
    std::size_t waiting_after_second_press = 0;
    rig.window.after_yield = [&] {  // the line takes nothing
        if (rig.window.yields == 500)
            Command2_Click(rig.program), waiting_after_second_press = rig.terminal.pending.size();
    };
    const auto started = rig.window.elapsed;
    Command2_Click(rig.program);
    EXPECT_EQ(waiting_after_second_press, 1u) << "one A6 only";
    EXPECT_GE(rig.window.elapsed - started, kExitHangUpWait);
    EXPECT_LT(rig.window.elapsed - started, 2 * kExitHangUpWait);
    EXPECT_EQ(std::tuple(rig.terminal.is_open(), rig.window.ends, rig.terminal.misuses), std::tuple(false, 1, 0));
}

TEST(Boxes, a_storm_of_errors_gives_one_box_after_another_never_one_inside_another) {
    CoreRig rig(true);
    int storm = 0;
    rig.window.while_box_open = [&] {  // events keep running while a box is open
        if (storm++ < 3) rig.raise(rig.terminal, 1009), rig.raise(rig.monitor, 1001);
    };
    rig.raise(rig.terminal, 1004);
    EXPECT_EQ(rig.window.deepest_boxes, 1);
    std::vector<std::u16string> expected{u"フレーム エラー"};
    for (int i = 0; i < 3; ++i) expected.insert(expected.end(), {u"パリティ エラー", u"中断信号を受信"});
    EXPECT_EQ(rig.window.boxes, expected);
    EXPECT_EQ(rig.window.warnings.front(), u"mirvane: フレーム エラー (framing error)");
}

TEST(LineLoss, stops_communication_once_with_one_box_and_start_works_again) {
    CoreRig rig(true);
    lose_line(rig.program, rig.terminal, u"応答なし", u"no answer");
    lose_line(rig.program, rig.monitor, u"応答なし", u"no answer");
    rig.turn();
    EXPECT_EQ(rig.window.warnings,
              std::vector<std::u16string>{u"mirvane: 端末ポート（/dev/ttyS0）との通信が途絶えたため、端末通信を終了しま"
                                          u"した：応答なし (the terminal port (/dev/ttyS0) stopped answering, so "
                                          u"terminal communication was stopped: no answer)"});
    EXPECT_EQ(rig.window.boxes,
              std::vector<std::u16string>{
                  u"端末ポート（/dev/ttyS0）との通信が途絶えたため、端末通信を終了しました：応答なし"});
    expect_running(rig, false);
    Command1_Click(rig.program);
    EXPECT_TRUE(rig.terminal.is_open());
    EXPECT_EQ(rig.terminal.misuses + rig.monitor.misuses, 0);
}

}  // namespace
}  // namespace mirvane::testing
