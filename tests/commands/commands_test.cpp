// The operator's sending commands, the send routine they share, and what happens when
// handlers run inside a send's wait.

#include <gtest/gtest.h>

#include "commands/command_codes.h"
#include "commands/dialling.h"
#include "commands/hook.h"
#include "commands/manual_code.h"
#include "link/send.h"
#include "shell/communication.h"
#include "support/bench.h"

namespace mirvane::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Running : Bench {
    Running() { Command1_Click(program); }
    void type_number(std::u16string number) { window.set_text(Control::Text3, number); }
    void type_hex(std::u16string hex) { window.set_text(Control::Text6, hex); }
    // Runs an action inside the send's next wait.
    void during_next_wait(std::function<void()> action) { window.yield_actions.push_back(std::move(action)); }
};

TEST(Send, puts_exactly_the_byte_on_the_line_and_returns_once_it_has_left) {
    Running bench;
    int yields_before_query = -1;
    bench.window.after_yield = [&] {
        if (yields_before_query < 0) yields_before_query = bench.window.yields;
        // The line carries the byte only on the third turn: the send must keep waiting.
        if (bench.window.yields >= 3) bench.terminal.drain();
    };
    const std::uint8_t zero = 0x00;
    EXPECT_TRUE(MSComm_send(bench.program, u"label", zero));
    EXPECT_EQ(bench.terminal.line, Bytes{0x00});
    EXPECT_EQ(bench.window.yields, 3);
    EXPECT_EQ(yields_before_query, 1);
}

TEST(Send, two_sends_leave_in_order_the_second_after_the_first_has_left) {
    Running bench;
    std::size_t pending_at_second_write = 99;
    bench.window.after_yield = [&] { bench.terminal.drain(); };
    MSComm_send(bench.program, u"a", 0xFF);
    pending_at_second_write = bench.terminal.pending.size();
    MSComm_send(bench.program, u"b", 0x01);
    EXPECT_EQ(pending_at_second_write, 0u);
    EXPECT_EQ(bench.terminal.line, (Bytes{0xFF, 0x01}));
}

TEST(Send, a_status_byte_arriving_during_a_send_is_decoded_before_it_returns) {
    Running bench;
    bench.during_next_wait([&] { bench.receive({0xA7}); });
    Command6_Click(bench.program);
    EXPECT_EQ(bench.top_line(), u"A7 __ __ __ __ : [10:15:01] 通話中表示ON");
    EXPECT_EQ(bench.terminal.line, Bytes{0x86});
}

TEST(Send, refuses_a_closed_port_without_touching_it) {
    Bench bench;
    EXPECT_FALSE(MSComm_send(bench.program, u"x", 0xA6));
    EXPECT_EQ(bench.terminal.misuses, 0);
    EXPECT_EQ(bench.window.yields, 0);
}

TEST(Hook, lifting_sends_A7_then_EB_and_putting_down_sends_A6) {
    Running bench;
    Command4_Click(bench.program);
    EXPECT_EQ(bench.terminal.line, (Bytes{0xA7, 0xEB}));
    EXPECT_EQ(bench.window.caption(Control::Command4), u"受話器をおく");
    Command4_Click(bench.program);
    EXPECT_EQ(bench.terminal.line, (Bytes{0xA7, 0xEB, 0xA6}));
    EXPECT_EQ(bench.window.caption(Control::Command4), u"受話器を上げる");
}

TEST(Hook, the_caption_changes_before_the_first_code_is_sent) {
    Running bench;
    std::u16string caption_in_wait;
    bench.during_next_wait([&] { caption_in_wait = bench.window.caption(Control::Command4); });
    Command4_Click(bench.program);
    EXPECT_EQ(caption_in_wait, u"受話器をおく");
}

TEST(Hook, a_second_press_during_the_wait_after_A7_puts_the_receiver_down_between) {
    Running bench;
    bench.during_next_wait([&] { Command4_Click(bench.program); });
    Command4_Click(bench.program);
    EXPECT_EQ(bench.terminal.line, (Bytes{0xA7, 0xA6, 0xEB}));
    EXPECT_EQ(bench.window.caption(Control::Command4), u"受話器を上げる");
}

TEST(Hook, does_nothing_while_communication_is_stopped) {
    Bench bench;
    Command4_Click(bench.program);
    EXPECT_EQ(bench.window.caption(Control::Command4), u"受話器を上げる");
    EXPECT_EQ(bench.terminal.misuses, 0);
    EXPECT_TRUE(bench.terminal.line.empty());
}

TEST(NumberDialling, sends_each_character_in_order_and_records_it) {
    Running bench;
    bench.type_number(u"0312");
    Command3_Click(bench.program);
    EXPECT_EQ(bench.terminal.line, (Bytes{0x9A, 0x93, 0x91, 0x92}));
    EXPECT_EQ(bench.state.dial_number, u"0312");
    EXPECT_EQ(bench.window.text(Control::Text4), u"0312");
    EXPECT_TRUE(bench.window.is_enabled(Control::Command3));

    bench.type_number(u"*#");
    Command3_Click(bench.program);
    EXPECT_EQ(bench.terminal.line, (Bytes{0x9A, 0x93, 0x91, 0x92, 0x9B, 0x9C}));
    EXPECT_EQ(bench.window.text(Control::Text4), u"0312*#");
}

TEST(NumberDialling, refuses_a_number_with_any_bad_character_and_sends_nothing) {
    for (const std::u16string number :
         {u"", u"03-12", u"03 12", u" 0312", u"0312 ", u"12A", u"D", u"12a", u"１２", u"12\n"}) {
        Running bench;
        bench.type_number(number);
        Command3_Click(bench.program);
        EXPECT_TRUE(bench.terminal.line.empty());
        EXPECT_EQ(bench.state.dial_number, u"");
        EXPECT_TRUE(bench.window.is_enabled(Control::Command3));
    }
}

TEST(NumberDialling, disables_its_button_while_it_dials_and_ignores_edits_meanwhile) {
    Running bench;
    bench.type_number(u"12");
    bool enabled_in_wait = true;
    bench.during_next_wait([&] {
        enabled_in_wait = bench.window.is_enabled(Control::Command3);
        bench.type_number(u"99");
    });
    Command3_Click(bench.program);
    EXPECT_FALSE(enabled_in_wait);
    EXPECT_EQ(bench.terminal.line, (Bytes{0x91, 0x92}));
}

TEST(NumberDialling, a_keypad_press_inside_the_wait_goes_out_between_the_digits) {
    Running bench;
    bench.type_number(u"12");
    bench.during_next_wait([&] { Command5_Click(bench.program, 5); });
    Command3_Click(bench.program);
    EXPECT_EQ(bench.terminal.line, (Bytes{0x91, 0x95, 0x92}));
    // The inner press finishes first, so its digit is recorded before the waiting one.
    EXPECT_EQ(bench.state.dial_number, u"512");
}

TEST(NumberDialling, twice_the_same_number_keeps_growing_the_record) {
    Running bench;
    bench.type_number(u"12");
    Command3_Click(bench.program);
    Command3_Click(bench.program);
    EXPECT_EQ(bench.window.text(Control::Text4), u"1212");
}

TEST(Keypad, each_key_sends_its_code_and_appends_its_character) {
    Running bench;
    const char16_t* characters[] = {u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"8", u"9", u"0", u"*", u"#"};
    std::u16string expected;
    for (int index = 1; index <= 12; ++index) {
        Command5_Click(bench.program, index);
        expected += characters[index - 1];
        EXPECT_EQ(bench.terminal.line.back(), 0x90 + index);
    }
    EXPECT_EQ(bench.window.text(Control::Text4), expected);
    EXPECT_EQ(bench.terminal.line.size(), 12u);
}

TEST(DialComplete, sends_only_86_and_leaves_the_record) {
    Running bench;
    Command5_Click(bench.program, 3);
    Command6_Click(bench.program);
    EXPECT_EQ(bench.terminal.line, (Bytes{0x93, 0x86}));
    EXPECT_EQ(bench.window.text(Control::Text4), u"3");
}

TEST(DialConv, maps_the_sixteen_characters_and_leaves_anything_else) {
    const std::pair<const char16_t*, std::uint8_t> table[] = {
        {u"1", 0x91}, {u"9", 0x99}, {u"0", 0x9A}, {u"*", 0x9B}, {u"#", 0x9C},
        {u"A", 0x9D}, {u"B", 0x9E}, {u"C", 0x9F}, {u"D", 0x90}};
    for (const auto& [character, code] : table) {
        std::uint8_t buf = 0x00;
        dial_conv(character, buf);
        EXPECT_EQ(buf, code) << static_cast<int>(character[0]);
    }
    for (const std::u16string text : {u"a", u"d", u"", u"12", u"０"}) {
        std::uint8_t buf = 0x42;
        dial_conv(text, buf);
        EXPECT_EQ(buf, 0x42);
    }
}

struct HexCase {
    std::u16string typed;
    Bytes sent;
};

void PrintTo(const HexCase& c, std::ostream* os) { *os << c.typed.size() << " characters"; }

class ManualCode : public ::testing::TestWithParam<HexCase> {};

TEST_P(ManualCode, sends_exactly_what_was_typed_or_nothing) {
    Running bench;
    bench.type_hex(GetParam().typed);
    Command8_Click(bench.program);
    EXPECT_EQ(bench.terminal.line, GetParam().sent);
    if (!GetParam().sent.empty()) {
        EXPECT_EQ(bench.state.hex_code, GetParam().sent.back());
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, ManualCode, ::testing::Values(
    HexCase{u"A6", {0xA6}},
    HexCase{u"a6", {0xA6}},
    HexCase{u"0A", {0x0A}},
    HexCase{u"00FF", {0x00, 0xFF}},
    HexCase{u"A7EB", {0xA7, 0xEB}},
    HexCase{u"", {}},
    HexCase{u"A", {}},
    HexCase{u"A6E", {}},
    HexCase{u"ZZ", {}},
    HexCase{u"1Z", {}},
    HexCase{u"Z1", {}},
    HexCase{u"A6ZZ", {}},
    HexCase{u"A 6B", {}},
    HexCase{u"  ", {}},
    HexCase{u"Ａ6", {}}));

TEST(ManualCode, an_edit_during_the_sending_changes_nothing_that_goes_out) {
    Running bench;
    bench.type_hex(u"A7EB86");
    bench.during_next_wait([&] { bench.type_hex(u"Z"); });
    Command8_Click(bench.program);
    EXPECT_EQ(bench.terminal.line, (Bytes{0xA7, 0xEB, 0x86}));
}

TEST(ManualCode, a_second_press_inside_the_wait_sends_its_whole_text_between) {
    Running bench;
    bench.type_hex(u"A7EB");
    bench.during_next_wait([&] {
        bench.type_hex(u"9192");
        Command8_Click(bench.program);
    });
    Command8_Click(bench.program);
    EXPECT_EQ(bench.terminal.line, (Bytes{0xA7, 0x91, 0x92, 0xEB}));
}

TEST(Clear, empties_both_stores_and_panes_and_resets_the_decoder_only) {
    Running bench;
    bench.receive({0xC5, 0x20, 0x80, 0xAD, 0x31});
    Command5_Click(bench.program, 1);
    Command7_Click(bench.program);
    EXPECT_EQ(bench.receive_pane(), u"");
    EXPECT_EQ(bench.log_pane(), u"");
    EXPECT_EQ(bench.state.rx_state, 0);
    EXPECT_EQ(bench.window.caption(Control::Label1), u"受信レベル：5");
    EXPECT_EQ(bench.window.caption(Control::Label2), u"Tone ： 0");
    EXPECT_EQ(bench.window.text(Control::Text4), u"1");
    EXPECT_TRUE(bench.terminal.is_open());

    // The rest of the interrupted message is read as status codes; repeats are news again.
    bench.receive({0x80, 0xC5, 0x20});
    EXPECT_EQ(bench.receive_pane(), u"20 C5 80");
    EXPECT_EQ(bench.log_pane(),
              u"20 __ __ __ __ : [10:15:01] トーン種別 [0:トーンOFF]\r\n"
              u"C5 __ __ __ __ : [10:15:01] 受信レベル [5]\r\n"
              u"80 __ __ __ __ : [10:15:01] 圏外表示OFF");
}

// Stopping communication while a send waits closes the port under it: nothing may be
// written to or asked of the closed port, and the handler's remaining codes are dropped.
TEST(StopDuringSend, ends_a_number_dialling_and_leaves_every_sending_control_disabled) {
    Running bench;
    bench.type_number(u"0312");
    bench.during_next_wait([&] {});  // the first digit leaves
    bench.during_next_wait([&] { Command1_Click(bench.program); });
    Command3_Click(bench.program);
    EXPECT_EQ(bench.terminal.line, (Bytes{0x9A}));
    EXPECT_EQ(bench.state.dial_number, u"0");
    EXPECT_FALSE(bench.window.is_enabled(Control::Command3));
    EXPECT_EQ(bench.terminal.misuses, 0);
    EXPECT_EQ(bench.window.caption(Control::Command1), u"端末通信開始");
}

TEST(StopDuringSend, returns_at_once_from_the_wait_and_drops_the_rest_of_a_manual_sending) {
    Running bench;
    bench.terminal.drain();
    bench.window.after_yield = nullptr;  // the line never drains by itself
    bench.type_hex(u"A7EB");
    bench.during_next_wait([&] { Command1_Click(bench.program); });
    Command8_Click(bench.program);
    EXPECT_EQ(bench.window.yields, 1);
    EXPECT_TRUE(bench.terminal.line.empty());
    EXPECT_EQ(bench.terminal.misuses, 0);
}

TEST(StopDuringSend, a_restart_inside_the_same_wait_still_ends_the_old_dialling) {
    Running bench;
    bench.type_number(u"123");
    bench.during_next_wait([&] {
        Command1_Click(bench.program);
        Command1_Click(bench.program);
    });
    Command3_Click(bench.program);
    EXPECT_TRUE(bench.terminal.line.empty());
    EXPECT_EQ(bench.state.dial_number, u"");
    EXPECT_TRUE(bench.window.is_enabled(Control::Command3)) << "communication runs again";
}

TEST(StopDuringSend, the_hook_gives_up_its_second_code_when_the_first_was_cut_off) {
    Running bench;
    bench.during_next_wait([&] { Command1_Click(bench.program); });
    Command4_Click(bench.program);
    EXPECT_TRUE(bench.terminal.line.empty());
    EXPECT_EQ(bench.terminal.misuses, 0);
}

TEST(ExitDuringSend, ends_cleanly_after_putting_the_receiver_down) {
    Running bench;
    bench.during_next_wait([&] { Command2_Click(bench.program); });
    Command4_Click(bench.program);  // lifts: A7 waits, exit runs inside
    EXPECT_EQ(bench.terminal.line, (Bytes{0xA7, 0xA6})) << "EB never follows the exit";
    EXPECT_EQ(bench.window.ends, 1);
    EXPECT_FALSE(bench.terminal.is_open());
    EXPECT_EQ(bench.terminal.misuses, 0);
}

TEST(ExitDuringSend, a_number_dialling_stops_sending_once_the_program_has_ended) {
    Running bench;
    bench.type_number(u"123");
    bench.during_next_wait([&] { Command2_Click(bench.program); });
    Command3_Click(bench.program);
    EXPECT_LE(bench.terminal.line.size(), 1u);
    EXPECT_EQ(bench.terminal.misuses, 0);
    EXPECT_EQ(bench.window.ends, 1);
}

}  // namespace
}  // namespace mirvane::testing
