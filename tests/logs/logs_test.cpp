// The receive ring and the message log at their edges, and both panes against the plain
// render of the stores whatever happens between two renders and whenever the window draws.

#include <gtest/gtest.h>

#include <random>

#include "commands/dialling.h"
#include "commands/hook.h"
#include "commands/manual_code.h"
#include "link/comm_errors.h"
#include "logs/message_log.h"
#include "support/core_rig.h"
#include "support/kept_file.h"
#include "support/reference_panes.h"

namespace mirvane::testing {
namespace {

// The window is handed what changed, not the text again: a byte in front and the oldest off
// the end of the receive pane, an entry on top and the oldest line off the end of the log.
TEST(PaneChanges, a_byte_or_an_entry_is_handed_over_as_itself_with_the_oldest_going) {
    CoreRig rig;
    // 203 reads: the last lands off the ring's first slots, where a stale render position
    // could still pass for one slot behind.
    for (int i = 0; i <= 201; ++i) rig.receive({0x80});
    rig.receive({0x81});
    EXPECT_EQ(rig.window.changes[Control::Text1], std::tuple(false, 0u, 3u, u"81 "));
    EXPECT_EQ(rig.window.changes[Control::Text2],
              std::tuple(false, 0u, 2u + 35, u"81 __ __ __ __ : [10:15:01] 圏外表示ON\r\n"));
}

// The log gets each entry once it is committed, whole, and the clear; the capture each read.
// A file that fails a write is named in one box and written no more; the other goes on.
TEST(SessionRecords, the_log_keeps_committed_entries_and_clears_the_capture_reads_and_a_failing_file_one_box) {
    CoreRig rig;
    KeptFile log, capture;
    rig.program.log = &log, rig.program.capture = &capture;
    rig.receive({0xAD, 0x31});
    rig.tap({0x86});
    rig.receive({0x32, 0x33, 0x34, 0x80});
    rig.receive({});
    disp_Command(rig.program);  // a slot without a code is no entry
    Command7_Click(rig.program);
    EXPECT_EQ(log.lines, (std::vector<std::u16string>{
                             u"__ __ __ __ 86 : [10:15:01] ダイヤル完了", u"AD 31 32 33 34 : [10:15:01] 網情報 1234",
                             u"80 __ __ __ __ : [10:15:01] 圏外表示OFF", u"---- 情報表示消去 ----"}));
    EXPECT_EQ(capture.lines,
              (std::vector<std::u16string>{u"terminal AD 31", u"monitor 86", u"terminal 32 33 34 80", u"clear"}));
    // Each box comes with the read or the clear whose write failed, not with a later event.
    capture.fails = true;
    rig.tap({0x81});
    EXPECT_EQ(rig.window.boxes.size(), 1u);
    EXPECT_EQ(log.lines.back(), u"__ __ __ __ 81 : [10:15:01] *") << "the log goes on";
    EXPECT_TRUE(log.lines.end()[-2].starts_with(u"event file failed: 記録ファイル（/tmp/capture）"));
    log.fails = true;
    Command7_Click(rig.program);
    rig.turn();
    EXPECT_EQ(rig.window.boxes.size(), 2u);
    rig.tap({0x80});  // both files given up: no further box
    const std::u16string given_up =
        u"記録ファイル（/tmp/capture）に書き込めないため、このファイルへの記録をやめました：No space left on device";
    EXPECT_EQ(rig.window.boxes, std::vector(2, given_up));
}

// With no monitor line to see them, the log still has every code sent, named, and what
// happened to the session; the capture has the sends among the reads.
TEST(SessionRecords, the_log_names_each_send_and_each_event_of_the_session_without_a_monitor_line) {
    CoreRig rig;
    KeptFile log, capture;
    rig.program.log = &log, rig.program.capture = &capture;
    rig.program.monitor_line = false;
    Command1_Click(rig.program);
    Command4_Click(rig.program);
    rig.receive({0xC5});
    Command5_Click(rig.program, 1);
    Command6_Click(rig.program);
    rig.window.set_text(Control::Text6, u"01");
    Command8_Click(rig.program);
    Command4_Click(rig.program);
    rig.raise(rig.terminal, comm_event::kFrame);
    lose_line(rig.program, rig.terminal, u"応答なし", u"no answer");
    Command2_Click(rig.program);
    std::vector<std::u16string> expected{u"event communication started", u"sent A7 受話器を上げる",
                                         u"sent EB 発番号表示"};
    expected.push_back(log.lines.at(3));  // the handset's answer, as the pane has it
    expected.insert(
        expected.end(),
        {u"sent 91 Dial [1]", u"sent 86 ダイヤル完了", u"sent 01 *", u"sent A6 受話器をおく",
         u"event line error: " + std::u16string(comm_error_text(comm_event::kFrame)),
         u"event line lost: 端末ポート（/dev/ttyS0）との通信が途絶えたため、端末通信を終了しました：応答なし",
         u"event communication stopped", u"event exit"});
    EXPECT_EQ(log.lines, expected);
    EXPECT_TRUE(log.lines.at(3).starts_with(u"C5 __ __ __ __ : [10:15:01] ")) << log.lines.at(3).size();
    EXPECT_EQ(capture.lines, (std::vector<std::u16string>{u"start", u"sent A7", u"sent EB", u"terminal C5", u"sent 91",
                                                          u"sent 86", u"sent 01", u"sent A6", u"stop"}));
}

// A box never stands inside a line's handler: the failed write's box comes on the loop's
// next turn, and while it stands both lines are read, logged and captured with their times.
TEST(SessionRecords, a_failed_write_s_box_comes_after_the_handler_while_both_lines_go_on) {
    CoreRig rig;
    KeptFile log, capture;
    rig.program.log = &log, rig.program.capture = &capture;
    log.fails = true;
    rig.terminal.received = {0x80};
    rig.terminal.event = comm_event::kReceive;
    MSComm1_OnComm(rig.program);
    EXPECT_TRUE(rig.window.boxes.empty()) << "shown inside the terminal line's handler";
    rig.window.while_box_open = [&] {
        rig.window.now = u"10:15:04", rig.receive({0x81});
        rig.window.now = u"10:15:05", rig.tap({0xA7});
    };
    rig.turn();
    EXPECT_EQ(rig.window.boxes.size(), 1u);
    EXPECT_EQ(capture.lines, (std::vector<std::u16string>{u"terminal 80", u"terminal 81", u"monitor A7"}));
    EXPECT_EQ(rig.log_pane(),
              u"__ __ __ __ A7 : [10:15:05] 受話器を上げる\r\n81 __ __ __ __ : [10:15:04] 圏外表示ON\r\n"
              u"80 __ __ __ __ : [10:15:01] 圏外表示OFF");
}

TEST(PaneRenders, the_window_always_draws_exactly_the_plain_render) {
    for (const auto& [rx_size, log_size] :
         {std::pair(200, 200), std::pair(1, 1), std::pair(2, 3), std::pair(3, 2), std::pair(4, 7)}) {
        SCOPED_TRACE(rx_size * 1000 + log_size);
        CoreRig rig;
        rig.state.rx_size = static_cast<std::int16_t>(rx_size),
        rig.state.log_size = static_cast<std::int16_t>(log_size);
        PaneChecker checker{rig.window, rig.state, [](const char* pane) { ADD_FAILURE() << pane; }};
        checker.attach();
        std::mt19937 random(rx_size * 1000 + log_size);
        const auto some_bytes = [&] {
            Bytes bytes(random() % 6);
            for (auto& byte : bytes) byte = random() % 3 == 0 ? 0xAD : static_cast<std::uint8_t>(random());
            return bytes;
        };
        for (int step = 0; step < 3000 && !HasFailure(); ++step) {
            switch (random() % 24) {
                case 0: checker.clearing = true, Command7_Click(rig.program), checker.clearing = false; break;
                case 1: checker.clearing = true, config1(rig.program), checker.clearing = false; break;
                case 2: disp_Command(rig.program); break;
                case 3: rig.window.hold_drawing = !rig.window.hold_drawing; break;
                case 4: checker.draw_and_check(); break;
                default: random() % 3 == 0 ? rig.tap(some_bytes()) : rig.receive(some_bytes());
            }
        }
        checker.draw_and_check();
        EXPECT_GT(checker.checked, 1000);
    }
}

}  // namespace
}  // namespace mirvane::testing
