// Reconnecting: a line lost while communication ran is waited for and communication starts
// again when the binding finds the lines back; the operator's own press ends the wait.

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "logs/session_records.h"
#include "shell/reconnect.h"
#include "support/core_rig.h"
#include "support/kept_file.h"

namespace mirvane::testing {
namespace {

using Texts = std::vector<std::u16string>;

constexpr std::u16string_view kTerminalLost =
    u"端末ポート（/dev/ttyS0）との通信が途絶えたため、端末通信を終了しました：応答なし";

// A rig with a session log, started with the lines chosen, whose `lost` line then goes.
struct LostRig : CoreRig {
    LostRig(bool reconnect, bool monitor_line, bool monitor_lost) {
        program.reconnect = reconnect;
        program.monitor_line = monitor_line;
        keep_session_files(program, &log, nullptr);
        Command1_Click(program);
        lose_line(program, monitor_lost ? monitor : terminal, u"応答なし", u"no answer");
        turn();
    }
    bool running() const {
        return window.caption(Control::Command1) == u"端末通信終了" && terminal.is_open() &&
               window.is_enabled(Control::Command3) && window.keypad_enabled.at(1);
    }
    // The reconnect's own lines: other events may share the log.
    Texts reconnect_lines() const {
        Texts lines;
        std::copy_if(log.lines.begin(), log.lines.end(), std::back_inserter(lines),
                     [](const std::u16string& line) { return line.starts_with(u"event reconnect: "); });
        return lines;
    }
    KeptFile log;
};

TEST(Reconnect, a_lost_line_is_waited_for_with_every_line_in_use_and_communication_starts_again) {
    const struct {
        bool monitor_line, monitor_lost;
        Texts awaited;
        Texts log;
    } cases[] = {
        {true,
         false,
         {u"/dev/ttyS0", u"/dev/ttyS1"},
         {u"event reconnect: /dev/ttyS0 lost; waiting for it to come back",
          u"event reconnect: /dev/ttyS0 and /dev/ttyS1 back; terminal communication started again"}},
        {true,
         true,
         {u"/dev/ttyS0", u"/dev/ttyS1"},
         {u"event reconnect: /dev/ttyS1 lost; waiting for it to come back",
          u"event reconnect: /dev/ttyS0 and /dev/ttyS1 back; terminal communication started again"}},
        {false,
         false,
         {u"/dev/ttyS0"},
         {u"event reconnect: /dev/ttyS0 lost; waiting for it to come back",
          u"event reconnect: /dev/ttyS0 back; terminal communication started again"}},
    };
    for (const auto& [monitor_line, monitor_lost, awaited, log] : cases) {
        LostRig rig(true, monitor_line, monitor_lost);
        EXPECT_EQ(rig.window.boxes.size(), 1u) << "the loss's box comes as without reconnecting";
        EXPECT_FALSE(rig.running());
        EXPECT_TRUE(watching_for_device(rig.program));
        EXPECT_EQ(awaited_devices(rig.program), awaited);
        device_returned(rig.program);
        rig.turn();
        EXPECT_TRUE(rig.running());
        EXPECT_EQ(rig.monitor.is_open(), monitor_line);
        EXPECT_FALSE(watching_for_device(rig.program));
        device_returned(rig.program);  // a late check finds nothing to do
        EXPECT_EQ(std::tuple(rig.terminal.opens, rig.window.boxes.size(), rig.reconnect_lines()),
                  std::tuple(2, 1u, log));
        EXPECT_EQ(rig.terminal.misuses + rig.monitor.misuses, 0);
    }
}

TEST(Reconnect, without_the_option_a_lost_line_stays_stopped_when_it_is_back) {
    LostRig rig(false, true, false);
    EXPECT_FALSE(watching_for_device(rig.program));
    device_returned(rig.program);
    EXPECT_EQ(std::tuple(rig.running(), rig.terminal.opens, rig.window.boxes, rig.reconnect_lines()),
              std::tuple(false, 1, Texts{std::u16string(kTerminalLost)}, Texts{}));
}

// What the operator presses is what happens: their start starts once, their exit ends the
// program; a device back afterwards starts nothing.
TEST(Reconnect, the_operators_own_start_or_exit_ends_the_wait) {
    for (const bool exit : {false, true}) {
        LostRig rig(true, true, false);
        exit ? Command2_Click(rig.program) : Command1_Click(rig.program);
        EXPECT_FALSE(watching_for_device(rig.program));
        device_returned(rig.program);
        rig.turn();
        EXPECT_EQ(std::tuple(rig.running(), rig.terminal.opens, rig.window.ends, rig.window.boxes.size()),
                  std::tuple(!exit, exit ? 1 : 2, int(exit), 1u));
        EXPECT_EQ(rig.reconnect_lines(), (Texts{u"event reconnect: /dev/ttyS0 lost; waiting for it to come back",
                                                u"event reconnect: the operator's own press ends the wait"}));
    }
}

// A device that is there but will not open gives the start button's box once, not one per check.
TEST(Reconnect, a_device_back_that_will_not_open_gives_one_box_and_the_wait_ends) {
    LostRig rig(true, true, false);
    rig.monitor.open_failure = OpenFailure{u"使用中です"};
    device_returned(rig.program);
    device_returned(rig.program);
    rig.turn();
    EXPECT_FALSE(rig.running());
    EXPECT_FALSE(watching_for_device(rig.program));
    EXPECT_EQ(rig.window.boxes,
              (Texts{std::u16string(kTerminalLost), u"モニタポート（/dev/ttyS1）を開けません：使用中です"}));
    EXPECT_EQ(rig.reconnect_lines().back(),
              u"event reconnect: /dev/ttyS0 and /dev/ttyS1 back but would not start; waiting no more");
    EXPECT_EQ(rig.terminal.misuses + rig.monitor.misuses, 0);
}

// The session log that cannot take the line is given up as any failed write is: one box.
TEST(Reconnect, a_log_that_fails_the_line_is_named_in_one_box_and_written_no_more) {
    CoreRig rig(true);
    KeptFile log;
    log.fails = true;
    keep_session_files(rig.program, &log, nullptr);
    rig.program.reconnect = true;
    lose_line(rig.program, rig.terminal, u"応答なし", u"no answer");
    device_returned(rig.program);
    rig.turn();
    EXPECT_EQ(rig.program.log, nullptr);
    // The lost line's own event line is the first the log cannot take.
    EXPECT_EQ(rig.window.boxes, (Texts{u"記録ファイル（/tmp/capture）に書き込めないため、このファイルへの記録をやめ"
                                       u"ました：No space left on device",
                                       std::u16string(kTerminalLost)}));
    EXPECT_EQ(rig.window.caption(Control::Command1), u"端末通信終了");
}

}  // namespace
}  // namespace mirvane::testing
