// The status decoder's framing across reads, its time stamps, its labels, what it leaves
// out of the log, and the two name tables it reads.

#include <gtest/gtest.h>

#include "commands/manual_code.h"
#include "support/bench.h"
#include "vocabulary/names.h"

namespace mirvane::testing {
namespace {

// Parameters are never looked up: C5, 20 and 2A inside the message set neither the level
// nor the tone that the reports after it are compared with.
TEST(StatusDecoder, a_message_across_reads_is_shown_once_whole_with_the_time_of_its_opener) {
    Bench bench;
    bench.receive({0x80, 0xAD, 0xC5});
    bench.window.now = u"10:15:02";
    bench.receive({0x20, 0x2A});
    EXPECT_EQ(bench.log_pane(), u"80 __ __ __ __ : [10:15:01] 圏外表示OFF");
    bench.receive({0x4B, 0xC5, 0x20});
    EXPECT_EQ(bench.log_pane(),
              u"20 __ __ __ __ : [10:15:02] トーン種別 [0:トーンOFF]\r\n"
              u"C5 __ __ __ __ : [10:15:02] 受信レベル [5]\r\n"
              u"AD C5 20 2A 4B : [10:15:01] 網情報 50AB\r\n"
              u"80 __ __ __ __ : [10:15:01] 圏外表示OFF");
    EXPECT_EQ(bench.receive_pane(), u"20 C5 4B 2A 20 C5 AD 80");
}

// The tone label has ASCII spaces around its colon for off and the macro, ideographic ones
// for the kinds between; a parameter (CC after 2F) changes neither label.
TEST(StatusDecoder, labels_follow_the_reports_and_a_repeated_tone_off_or_level_is_left_out) {
    Bench bench;
    const struct {
        std::vector<std::uint8_t> bytes;
        std::u16string_view level, tone;
    } reads[] = {
        {{0x20, 0x20}, u"受信レベル：", u"Tone ： 0"},         {{0xC0, 0xC0}, u"受信レベル：0", u"Tone ： 0"},
        {{0x2F, 0xCC}, u"受信レベル：0", u"Tone ： F"},        {{0x20, 0x20, 0x2A}, u"受信レベル：0", u"Tone　：　A"},
        {{0x20, 0xCC, 0xCC}, u"受信レベル：12", u"Tone ： 0"},
    };
    for (const auto& read : reads) {
        for (const std::uint8_t b : read.bytes) bench.receive({b});
        EXPECT_EQ(bench.window.caption(Control::Label1), read.level);
        EXPECT_EQ(bench.window.caption(Control::Label2), read.tone);
    }
    EXPECT_EQ(bench.log_pane(),
              u"CC __ __ __ __ : [10:15:01] 受信レベル [12]\r\n"
              u"20 __ __ __ __ : [10:15:01] トーン種別 [0:トーンOFF]\r\n"
              u"2A __ __ __ __ : [10:15:01] トーン種別 [A:着信音（転送）]\r\n"
              u"20 __ __ __ __ : [10:15:01] トーン種別 [0:トーンOFF]\r\n"
              u"2F CC __ __ __ : [10:15:01] トーン種別 [F:トーン制御マクロ]\r\n"
              u"C0 __ __ __ __ : [10:15:01] 受信レベル [0]\r\n"
              u"20 __ __ __ __ : [10:15:01] トーン種別 [0:トーンOFF]");
    // Clearing the logs forgets the last tone and level.
    Command7_Click(bench.program);
    bench.receive({0x20, 0xCC});
    EXPECT_EQ(bench.log_pane(),
              u"CC __ __ __ __ : [10:15:01] 受信レベル [12]\r\n"
              u"20 __ __ __ __ : [10:15:01] トーン種別 [0:トーンOFF]");
}

TEST(Names, values_outside_the_tables_leave_the_callers_text_as_it_was) {
    std::u16string text = u"5";
    for (const std::uint8_t code : {0x00, 0x8F, 0xA0, 0xFF}) dial_conv1(text, code);
    tone_ana(text, 16);
    EXPECT_EQ(text, u"5");
}

}  // namespace
}  // namespace mirvane::testing
