// A capture replayed into the window gives back the session's log: the clears, a message
// open at a clear or at the exit, the entries' times of day; start and stop change the
// caption alone.

#include <gtest/gtest.h>

#include "commands/manual_code.h"
#include "shell/replay.h"
#include "support/core_rig.h"
#include "support/kept_file.h"

namespace mirvane::testing {
namespace {

// The capture as the session file would stamp it, the n-th line at 10:15:0n: the times the
// session read each at.
Capture stamped(const std::vector<std::u16string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        text += "2026-12-08 10:15:0" + std::to_string(i) + ".250 ";
        for (const char16_t c : lines[i]) text += static_cast<char>(c);
        text += '\n';
    }
    return std::get<Capture>(parse_capture(text, "capture"));
}

TEST(Replay, a_capture_replayed_into_the_window_logs_the_session_s_entries_clears_and_open_messages) {
    CoreRig session;
    KeptFile log, capture;
    session.program.log = &log, session.program.capture = &capture;
    Command1_Click(session.program);
    const std::vector<std::pair<bool, Bytes>> reads = {
        {true, {0xC5, 0x23}},       {false, {}},         {true, {0xC5, 0x23, 0xAD, 0x30, 0x31}}, {false, {}},
        {true, {0x32, 0x33, 0xC6}}, {true, {0xAD, 0x34}}};
    for (std::size_t i = 0; i < reads.size(); ++i) {
        session.window.now = u"10:15:0" + std::u16string(1, char16_t(u'1' + i));
        reads[i].first ? session.receive(reads[i].second) : Command7_Click(session.program);
    }
    session.window.now = u"10:15:07", session.tap({0xA7});
    Command1_Click(session.program);
    Form_Unload(session.program);
    EXPECT_EQ(capture.lines,
              (std::vector<std::u16string>{u"start", u"terminal C5 23", u"clear", u"terminal C5 23 AD 30 31", u"clear",
                                           u"terminal 32 33 C6", u"terminal AD 34", u"monitor A7", u"stop"}));
    ASSERT_EQ(log.lines.size(), 13u);
    EXPECT_EQ(log.lines[6], u"AD 30 31 : [10:15:03] 網情報 01 （未完）") << "open at the clear";
    EXPECT_EQ(log.lines[11], u"AD 34 : [10:15:06] 網情報 4 （未完）") << "open at the exit";

    CoreRig replay;
    KeptFile replayed;
    replay.program.log = &replayed;
    // A send the session made is in its capture; a replay sends nothing and logs no send.
    std::vector<std::u16string> with_send = capture.lines;
    with_send.push_back(u"sent A7");
    for (const CaptureRecord& record : stamped(with_send).records) {
        replay_record(replay.program, record);
        if (record.line || record.action == CaptureAction::clear || record.action == CaptureAction::sent) continue;
        EXPECT_EQ(replay.window.caption(Control::Command1),
                  record.action == CaptureAction::start ? u"端末通信終了" : u"端末通信開始");
    }
    Form_Unload(replay.program);
    EXPECT_EQ(replayed.lines, log.lines);
    EXPECT_EQ(replay.terminal.opens + replay.monitor.opens, 0);
}

}  // namespace
}  // namespace mirvane::testing
