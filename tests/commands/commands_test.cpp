// The operator's sending commands, and what happens when handlers, the stop button and the
// exit button run inside a send's wait.

#include <gtest/gtest.h>

#include "commands/dialling.h"
#include "commands/hook.h"
#include "commands/manual_code.h"
#include "link/send.h"
#include "support/core_rig.h"

namespace mirvane::testing {
namespace {

TEST(Hook, lifts_with_A7_EB_and_puts_down_with_A6_changing_the_caption_first) {
    CoreRig rig(true);
    std::u16string caption_in_wait;
    rig.during_next_wait([&] { caption_in_wait = rig.window.caption(Control::Command4); });
    Command4_Click(rig.program);
    EXPECT_EQ(caption_in_wait, u"受話器をおく");
    Command4_Click(rig.program);
    EXPECT_EQ(rig.terminal.line, (Bytes{0xA7, 0xEB, 0xA6}));
    EXPECT_EQ(rig.window.caption(Control::Command4), u"受話器を上げる");

    CoreRig stopped;
    Command4_Click(stopped.program);
    EXPECT_EQ(stopped.window.caption(Control::Command4), u"受話器を上げる") << "nothing while stopped";
    EXPECT_EQ(stopped.terminal.misuses, 0);
}

TEST(NumberDialling, sends_each_character_in_order_as_the_keypad_does_and_keeps_adding_to_the_record) {
    CoreRig rig(true);
    for (const std::u16string number : {u"0312", u"*#"}) {
        rig.window.set_text(Control::Text3, number);
        Command3_Click(rig.program);
    }
    for (int index = 1; index <= 12; ++index) Command5_Click(rig.program, index);
    Command6_Click(rig.program);
    EXPECT_EQ(rig.terminal.line, (Bytes{0x9A, 0x93, 0x91, 0x92, 0x9B, 0x9C, 0x91, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97,
                                        0x98, 0x99, 0x9A, 0x9B, 0x9C, 0x86}));
    EXPECT_EQ(rig.window.text(Control::Text4), u"0312*#1234567890*#");
}

TEST(NumberDialling, refuses_a_number_with_any_bad_character_and_sends_nothing) {
    for (const std::u16string number : {u"", u"03-12", u" 0312", u"12A", u"D", u"12a", u"１２", u"12\n"}) {
        CoreRig rig(true);
        rig.window.set_text(Control::Text3, number);
        Command3_Click(rig.program);
        EXPECT_EQ(
            std::tuple(rig.terminal.line, rig.window.text(Control::Text4), rig.window.is_enabled(Control::Command3)),
            std::tuple(Bytes{}, u"", true));
    }
}

TEST(ManualCode, sends_exactly_the_pairs_typed_or_nothing_at_all) {
    // clang-format off
    const std::pair<std::u16string, Bytes> table[] = {
        {u"A6", {0xA6}}, {u"a6", {0xA6}}, {u"0A", {0x0A}}, {u"00FF", {0x00, 0xFF}}, {u"A7EB", {0xA7, 0xEB}},
        {u"", {}}, {u"A", {}}, {u"A6E", {}}, {u"ZZ", {}}, {u"1Z", {}}, {u"Z1", {}}, {u"A6ZZ", {}}, {u"A 6B", {}},
        {u"Ａ6", {}}};
    // clang-format on
    for (const auto& [typed, sent] : table) {
        CoreRig rig(true);
        rig.window.set_text(Control::Text6, typed);
        Command8_Click(rig.program);
        EXPECT_EQ(rig.terminal.line, sent) << typed.size() << " characters";
    }
    // The codes are read from a view into the field's text: an odd last digit is refused even
    // where the text goes on past the view.
    EXPECT_EQ(parse_hex_codes(std::u16string_view(u"A6E0").substr(0, 3)), std::nullopt);
}

// The terminal line takes no byte (a handset holding its line, a stalled adapter) while the
// operator keeps pressing: every press lands in the wait of the one before. Dial データ keeps
// the order the bytes went out in; past the bound a press sends nothing, told once per hold.
TEST(HeldLine, presses_go_out_and_are_recorded_in_press_order_up_to_the_bound_told_once_per_hold) {
    CoreRig rig(true);
    Bytes line;
    std::u16string dialled;
    for (const int hold : {1, 2}) {
        int presses = 0;
        rig.window.after_yield = [&] {  // the line moves again after 200 presses
            ++presses < 200 ? Command5_Click(rig.program, presses % 12 + 1) : rig.terminal.drain();
        };
        Command5_Click(rig.program, 1);
        for (int i = 0; i < kMostWaitingSends; ++i) line.push_back(0x91 + i % 12), dialled += u"1234567890*#"[i % 12];
        EXPECT_EQ(rig.terminal.line, line);
        EXPECT_EQ(rig.window.text(Control::Text4), dialled);
        EXPECT_EQ(rig.window.warnings.size(), std::size_t(hold));
    }
}

TEST(Clear, empties_both_stores_and_panes_and_resets_only_the_decoder) {
    CoreRig rig(true);
    rig.receive({0xC5, 0x20, 0x80, 0xAD, 0x31});
    Command5_Click(rig.program, 1);
    Command7_Click(rig.program);
    EXPECT_EQ(rig.receive_pane() + rig.log_pane(), u"");
    EXPECT_EQ(std::tuple(rig.window.caption(Control::Label1), rig.window.caption(Control::Label2),
                         rig.window.text(Control::Text4), rig.terminal.is_open()),
              std::tuple(u"受信レベル：5", u"Tone ： 0", u"1", true));
    // The rest of the cut message reads as status codes; repeated reports are news again.
    rig.receive({0x80, 0xC5, 0x20});
    EXPECT_EQ(rig.receive_pane(), u"20 C5 80");
    EXPECT_EQ(rig.log_pane(),
              u"20 __ __ __ __ : [10:15:01] トーン種別 [0:トーンOFF]\r\n"
              u"C5 __ __ __ __ : [10:15:01] 受信レベル [5]\r\n80 __ __ __ __ : [10:15:01] 圏外表示OFF");
}

// Presses, stops and exits inside a send's wait. A handler that runs there completes first,
// its codes between the waiting handler's. A stop or an exit closes the port under the
// waiting send: nothing may be written to or asked of the closed port, the handler's
// remaining codes are dropped and a digit cut off is not recorded.
struct Road {
    const char* what;
    std::u16string number, hex;  // typed before the press
    void (*press)(Program&);
    int free_turns;  // waits that pass before the one in which `in_wait` runs
    void (*in_wait)(Program&);
    Bytes line;                // then expected: the line,
    std::u16string dialled;    // Dial データ,
    bool ended, dial_enabled;  // whether the program ended, and the dial button
};

void stop(Program& program) { Command1_Click(program); }
void stop_and_start(Program& program) { Command1_Click(program), Command1_Click(program); }
void edit_number_and_press_5(Program& p) {
    EXPECT_FALSE(static_cast<FakeWindow&>(p.window).is_enabled(Control::Command3)) << "disabled while it dials";
    p.window.set_text(Control::Text3, u"99"), Command5_Click(p, 5);
}
void send_codes_and_edit_them(Program& p) {
    p.window.set_text(Control::Text6, u"9192"), Command8_Click(p), p.window.set_text(Control::Text6, u"Z");
}

// clang-format off
const Road kRoads[] = {
    {"a key pressed and the number edited while dialling",
        u"12", u"", Command3_Click, 0, edit_number_and_press_5, {0x91, 0x95, 0x92}, u"152", false, true},
    {"the hook pressed again in the wait after A7",
        u"", u"", Command4_Click, 0, Command4_Click, {0xA7, 0xA6, 0xEB}, u"", false, true},
    {"hex codes sent inside hex codes, the field edited",
        u"", u"A7EB", Command8_Click, 0, send_codes_and_edit_them, {0xA7, 0x91, 0x92, 0xEB}, u"", false, true},
    {"dialling stopped after one digit", u"0312", u"", Command3_Click, 1, stop, {0x9A}, u"0", false, false},
    {"dialling stopped and started in one wait", u"123", u"", Command3_Click, 0, stop_and_start, {}, u"", false, true},
    {"manual codes stopped", u"", u"A7EB", Command8_Click, 0, stop, {}, u"", false, false},
    {"the hook stopped after A7", u"", u"", Command4_Click, 0, stop, {}, u"", false, false},
    {"the hook's A7 waiting at exit", u"", u"", Command4_Click, 0, Command2_Click, {0xA7, 0xA6}, u"", true, true},
    {"dialling at exit", u"123", u"", Command3_Click, 0, Command2_Click, {}, u"", true, true},
};
// clang-format on

TEST(InsideTheWait, handlers_complete_first_and_a_cut_send_gives_up_never_touching_the_closed_port) {
    for (const Road& road : kRoads) {
        SCOPED_TRACE(road.what);
        CoreRig rig(true);
        rig.window.set_text(Control::Text3, road.number);
        rig.window.set_text(Control::Text6, road.hex);
        for (int i = 0; i < road.free_turns; ++i) rig.during_next_wait([] {});
        rig.during_next_wait([&] { road.in_wait(rig.program); });
        road.press(rig.program);
        EXPECT_EQ(rig.terminal.line, road.line);
        EXPECT_EQ(rig.window.text(Control::Text4), road.dialled);
        EXPECT_EQ(rig.window.ends, road.ended ? 1 : 0);
        EXPECT_EQ(rig.window.is_enabled(Control::Command3), road.dial_enabled);
        EXPECT_EQ(rig.terminal.misuses, 0);
    }
}

}  // namespace
}  // namespace mirvane::testing
