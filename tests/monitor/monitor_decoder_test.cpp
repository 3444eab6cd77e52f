// The monitor line's names and code column, and how its entries share the log with the
// status decoder.

#include <gtest/gtest.h>

#include "support/core_rig.h"

namespace mirvane::testing {
namespace {

// Every byte is an entry of its own: four empty columns, the code, the time, the name.
TEST(MonitorLine, names_each_command_code_and_marks_every_other_byte) {
    // clang-format off
    const std::u16string_view rows[][2] = {
        {u"A7", u"受話器を上げる"}, {u"A6", u"受話器をおく"}, {u"EA", u"発番号非表示"}, {u"EB", u"発番号表示"},
        {u"86", u"ダイヤル完了"}, {u"90", u"Dial [D]"}, {u"9A", u"Dial [0]"}, {u"9F", u"Dial [C]"},
        {u"00", u"*"}, {u"05", u"*"}, {u"8F", u"*"}, {u"A0", u"*"}, {u"A5", u"*"}, {u"FF", u"*"}};
    // clang-format on
    for (const auto& [code, meaning] : rows) {
        CoreRig rig;
        rig.tap({static_cast<std::uint8_t>(std::stoi(std::string(code.begin(), code.end()), nullptr, 16))});
        EXPECT_EQ(rig.log_pane(), u"__ __ __ __ " + std::u16string(code) + u" : [10:15:01] " + std::u16string(meaning));
    }
}

// A command seen on the monitor line while the terminal is still sending a message's
// parameters must neither overwrite nor split that message, nor reach the ring or the decoder.
TEST(MonitorLine, an_entry_during_a_collected_message_leaves_both_entries_whole) {
    CoreRig rig;
    rig.receive({0x80, 0xAD, 0x31});
    rig.window.now = u"10:15:02";
    rig.tap({0xA7, 0xC3, 0xE7});
    const std::u16string tapped =
        u"__ __ __ __ E7 : [10:15:02] *\r\n"
        u"__ __ __ __ C3 : [10:15:02] *\r\n"
        u"__ __ __ __ A7 : [10:15:02] 受話器を上げる\r\n"
        u"80 __ __ __ __ : [10:15:01] 圏外表示OFF";
    EXPECT_EQ(rig.log_pane(), tapped);
    EXPECT_EQ(rig.receive_pane(), u"31 AD 80");
    rig.receive({0x32, 0x3A, 0x4B, 0xC3});
    EXPECT_EQ(rig.log_pane(),
              u"C3 __ __ __ __ : [10:15:02] 受信レベル [3]\r\n"
              u"AD 31 32 3A 4B : [10:15:01] 網情報 12AB\r\n" +
                  tapped);
}

}  // namespace
}  // namespace mirvane::testing
