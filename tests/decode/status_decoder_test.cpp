// The status decoder's framing, time stamps, label bookkeeping and suppression rules.

#include <gtest/gtest.h>

#include "decode/names.h"
#include "decode/status_decoder.h"
#include "support/bench.h"

namespace mirvane::testing {
namespace {

TEST(StatusFraming, an_empty_read_changes_and_redraws_nothing) {
    Bench bench;
    const int ring_sets = bench.window.sets_of(Control::Text1);
    bench.receive({});
    EXPECT_EQ(bench.window.sets_of(Control::Text1), ring_sets);
    EXPECT_EQ(bench.window.sets_of(Control::Text2), 1);
    EXPECT_EQ(bench.state.rx_pos, 0);
}

TEST(StatusFraming, a_message_split_across_reads_equals_one_delivered_whole) {
    Bench whole;
    whole.receive({0xAD, 0x31, 0x32, 0x3A, 0x4B});

    Bench split;
    split.receive({0xAD});
    split.window.now = u"10:15:09";
    split.receive({0x31, 0x32});
    EXPECT_EQ(split.state.log_pos, 0) << "an unfinished message is not committed";
    EXPECT_EQ(split.window.sets_of(Control::Text2), 1);
    split.receive({0x3A, 0x4B});

    EXPECT_EQ(split.log_pane(), whole.log_pane());
    EXPECT_EQ(split.top_line(), u"AD 31 32 3A 4B : [10:15:01] 網情報 12AB")
        << "the stamp is the opener's";
}

TEST(StatusFraming, every_entry_of_one_read_carries_the_same_time) {
    Bench bench;
    bench.window.now = u"09:41:07";
    bench.receive({0x80, 0xAF, 0xC3});
    EXPECT_EQ(bench.log_pane(),
              u"C3 __ __ __ __ : [09:41:07] 受信レベル [3]\r\n"
              u"AF __ __ __ __ : [09:41:07] 待受\r\n"
              u"80 __ __ __ __ : [09:41:07] 圏外表示OFF");
}

TEST(StatusFraming, status_codes_while_collecting_are_parameters) {
    Bench bench;
    bench.receive({0xE1, 0x80, 0xC5, 0x20});
    EXPECT_EQ(bench.top_line(), u"E1 80 C5 20 __ : [10:15:01] 理由表示");
    EXPECT_EQ(bench.window.caption(Control::Label1), u"受信レベル：");
    EXPECT_EQ(bench.window.caption(Control::Label2), u"Tone ：");
    EXPECT_EQ(bench.state.rx_level, 0);
}

TEST(StatusFraming, each_byte_redraws_the_ring_and_each_finished_entry_the_log) {
    Bench bench;
    const int ring_before = bench.window.sets_of(Control::Text1);
    bench.receive({0xE7, 0x01, 0x02, 0x80, 0x00});
    EXPECT_EQ(bench.window.sets_of(Control::Text1) - ring_before, 5);
    EXPECT_EQ(bench.window.sets_of(Control::Text2) - 1, 2);
    EXPECT_EQ(bench.receive_pane(), u"00 80 02 01 E7");
}

TEST(StatusFraming, a_hands_free_entry_keeps_its_stamp) {
    Bench bench;
    bench.receive({0x88});
    bench.window.now = u"10:16:00";
    bench.receive({0x00});
    EXPECT_EQ(bench.top_line(), u"88 00 __ __ __ : [10:15:01] ハンズフリー OFF");
    bench.receive({0x88, 0x01});
    EXPECT_EQ(bench.top_line(), u"88 01 __ __ __ : [10:16:00] ハンズフリー ON");
}

TEST(StatusFraming, digits_rule_takes_only_the_low_hex_digit) {
    Bench bench;
    bench.receive({0x35, 0x4A, 0x05, 0xF0, 0x9C});
    EXPECT_EQ(bench.top_line(), u"35 4A 05 F0 9C : [10:15:01] サービス問合せ結果A50C");
}

TEST(ToneReports, tone_off_is_logged_once_until_another_tone) {
    Bench bench;
    bench.receive({0x20, 0x20});
    EXPECT_EQ(bench.state.log_pos, 1);
    EXPECT_EQ(bench.window.caption(Control::Label2), u"Tone ： 0");
    EXPECT_EQ(bench.receive_pane(), u"20 20");

    bench.receive({0x21, 0x20});
    EXPECT_EQ(bench.state.log_pos, 3);
    EXPECT_EQ(bench.log_pane(),
              u"20 __ __ __ __ : [10:15:01] トーン種別 [0:トーンOFF]\r\n"
              u"21 __ __ __ __ : [10:15:01] トーン種別 [1:発信音]\r\n"
              u"20 __ __ __ __ : [10:15:01] トーン種別 [0:トーンOFF]");
}

TEST(ToneReports, the_label_follows_the_reported_kind_with_its_own_spaces) {
    Bench bench;
    bench.receive({0x2A});
    EXPECT_EQ(bench.window.caption(Control::Label2), u"Tone　：　A");
    EXPECT_EQ(bench.state.tone_kind, 10);
    bench.receive({0x2F});
    EXPECT_EQ(bench.window.caption(Control::Label2), u"Tone ： F");
    EXPECT_EQ(bench.state.tone_kind, 15);
    bench.receive({0x00, 0x20});
    EXPECT_EQ(bench.window.caption(Control::Label2), u"Tone ： 0");
    EXPECT_EQ(bench.state.tone_kind, 16);
    EXPECT_EQ(bench.top_line(), u"20 __ __ __ __ : [10:15:01] トーン種別 [0:トーンOFF]");
}

TEST(ToneReports, the_first_tone_off_after_a_reset_is_logged) {
    Bench bench;
    bench.receive({0x20});
    config1(bench.program);
    bench.receive({0x20});
    EXPECT_EQ(bench.top_line(), u"20 __ __ __ __ : [10:15:01] トーン種別 [0:トーンOFF]");
}

TEST(LevelReports, an_unchanged_level_is_not_logged_and_leaves_the_label) {
    Bench bench;
    bench.receive({0xC5, 0xC5});
    EXPECT_EQ(bench.state.log_pos, 1);
    EXPECT_EQ(bench.window.caption(Control::Label1), u"受信レベル：5");
    bench.receive({0xC6});
    EXPECT_EQ(bench.log_pane(),
              u"C6 __ __ __ __ : [10:15:01] 受信レベル [6]\r\n"
              u"C5 __ __ __ __ : [10:15:01] 受信レベル [5]");
    EXPECT_EQ(bench.window.caption(Control::Label1), u"受信レベル：6");
}

TEST(LevelReports, level_zero_right_after_a_reset_is_logged_and_then_suppressed) {
    Bench bench;
    bench.receive({0xC0, 0xC0});
    EXPECT_EQ(bench.state.log_pos, 1);
    EXPECT_EQ(bench.window.caption(Control::Label1), u"受信レベル：0");
    bench.receive({0xCC});
    EXPECT_EQ(bench.window.caption(Control::Label1), u"受信レベル：12");
}

TEST(StatusFraming, a_corrupt_collecting_state_returns_to_ready) {
    Bench bench;
    bench.state.rx_state = 2;
    bench.state.rx_cmd = 0x80;  // not an opener
    bench.receive({0x05, 0x80});
    EXPECT_EQ(bench.state.rx_state, 0);
    EXPECT_EQ(bench.top_line(), u"80 __ __ __ __ : [10:15:01] 圏外表示OFF");
}

TEST(Names, dial_conv1_names_the_sixteen_digit_codes_and_leaves_others) {
    const char16_t* expected[] = {u"D", u"1", u"2", u"3", u"4", u"5", u"6", u"7",
                                  u"8", u"9", u"0", u"*", u"#", u"A", u"B", u"C"};
    for (int i = 0; i < 16; ++i) {
        std::u16string text = u"x";
        const std::uint8_t code = static_cast<std::uint8_t>(0x90 + i);
        dial_conv1(text, code);
        EXPECT_EQ(text, expected[i]);
    }
    for (const std::uint8_t code : {std::uint8_t{0x8F}, std::uint8_t{0xA0}, std::uint8_t{0x00}}) {
        std::u16string text = u"5";
        dial_conv1(text, code);
        EXPECT_EQ(text, u"5");
    }
}

TEST(Names, tone_ana_names_kinds_0_to_15_and_leaves_the_text_above) {
    std::u16string text;
    tone_ana(text, 0);
    EXPECT_EQ(text, u"トーンOFF");
    tone_ana(text, 15);
    EXPECT_EQ(text, u"トーン制御マクロ");
    for (std::uint8_t kind : {5, 9, 11, 12, 13, 14}) {
        tone_ana(text, kind);
        EXPECT_EQ(text, u"\u30FC");
    }
    text = u"keep";
    tone_ana(text, 16);
    EXPECT_EQ(text, u"keep");
    tone_ana(text, 255);
    EXPECT_EQ(text, u"keep");
}

}  // namespace
}  // namespace mirvane::testing
