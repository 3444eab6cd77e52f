// The status decoder's framing across reads, its time stamps, its labels and what it leaves
// out of the log.

#include <gtest/gtest.h>

#include "commands/manual_code.h"
#include "support/core_rig.h"

namespace mirvane::testing {
namespace {

// Parameters are never looked up: C5, 20 and 2A inside the message set neither the level
// nor the tone that the reports after it are compared with.
TEST(StatusDecoder, a_message_across_reads_is_shown_once_whole_with_the_time_of_its_opener) {
    CoreRig rig;
    rig.receive({0x80, 0xAD, 0xC5});
    rig.window.now = u"10:15:02";
    rig.receive({0x20, 0x2A});
    EXPECT_EQ(rig.log_pane(), u"80 __ __ __ __ : [10:15:01] 圏外表示OFF");
    rig.receive({0x4B, 0xC5, 0x20});
    EXPECT_EQ(rig.log_pane(),
              u"20 __ __ __ __ : [10:15:02] トーン種別 [0:トーンOFF]\r\n"
              u"C5 __ __ __ __ : [10:15:02] 受信レベル [5]\r\n"
              u"AD C5 20 2A 4B : [10:15:01] 網情報 50AB\r\n"
              u"80 __ __ __ __ : [10:15:01] 圏外表示OFF");
    EXPECT_EQ(rig.receive_pane(), u"20 C5 4B 2A 20 C5 AD 80");
}

// The tone label has ASCII spaces around its colon for off and the macro, ideographic ones
// for the kinds between; a parameter (CC after 2F) changes neither label.
TEST(StatusDecoder, labels_follow_the_reports_and_a_repeated_tone_off_or_level_is_left_out) {
    CoreRig rig;
    const struct {
        std::vector<std::uint8_t> bytes;
        std::u16string_view level, tone;
    } reads[] = {
        {{0x20, 0x20}, u"受信レベル：", u"Tone ： 0"},         {{0xC0, 0xC0}, u"受信レベル：0", u"Tone ： 0"},
        {{0x2F, 0xCC}, u"受信レベル：0", u"Tone ： F"},        {{0x20, 0x20, 0x2A}, u"受信レベル：0", u"Tone　：　A"},
        {{0x20, 0xCC, 0xCC}, u"受信レベル：12", u"Tone ： 0"},
    };
    for (const auto& read : reads) {
        for (const std::uint8_t b : read.bytes) rig.receive({b});
        EXPECT_EQ(rig.window.caption(Control::Label1), read.level);
        EXPECT_EQ(rig.window.caption(Control::Label2), read.tone);
    }
    EXPECT_EQ(rig.log_pane(),
              u"CC __ __ __ __ : [10:15:01] 受信レベル [12]\r\n"
              u"20 __ __ __ __ : [10:15:01] トーン種別 [0:トーンOFF]\r\n"
              u"2A __ __ __ __ : [10:15:01] トーン種別 [A:着信音（転送）]\r\n"
              u"20 __ __ __ __ : [10:15:01] トーン種別 [0:トーンOFF]\r\n"
              u"2F CC __ __ __ : [10:15:01] トーン種別 [F:トーン制御マクロ]\r\n"
              u"C0 __ __ __ __ : [10:15:01] 受信レベル [0]\r\n"
              u"20 __ __ __ __ : [10:15:01] トーン種別 [0:トーンOFF]");
    // Clearing the logs forgets the last tone and level.
    Command7_Click(rig.program);
    rig.receive({0x20, 0xCC});
    EXPECT_EQ(rig.log_pane(),
              u"CC __ __ __ __ : [10:15:01] 受信レベル [12]\r\n"
              u"20 __ __ __ __ : [10:15:01] トーン種別 [0:トーンOFF]");
}

}  // namespace
}  // namespace mirvane::testing
