// Events of both lines: a communication error in a box of its own text, line states and the
// rest raising nothing, and the lines decoding on afterwards.

#include <gtest/gtest.h>

#include "support/core_rig.h"

namespace mirvane::testing {
namespace {

// Events at the edges of the error table and of the quiet range, with the box each raises:
// none for send, line states and end of file, a fixed text for any event without its own.
constexpr std::u16string_view kOther = u"その他の通信エラー";
// clang-format off
constexpr std::pair<std::int16_t, std::u16string_view> kEvents[] = {
    {1001, u"中断信号を受信"}, {1002, u"CTSタイムアウト"}, {1004, u"フレーム エラー"}, {1006, u"ポート オーバーラン"},
    {1011, u"予期しないDCBエラー"}, {1005, kOther}, {1000, kOther}, {1012, kOther}, {8, kOther}, {0, kOther}, {1, {}}, {3, {}}, {7, {}}};
// clang-format on

TEST(CommErrors, each_event_on_either_line_raises_its_box_and_both_lines_decode_on) {
    for (const auto& [event, text] : kEvents) {
        CoreRig rig;
        rig.receive({0xAD, 0x31});
        rig.raise(rig.terminal, event);
        rig.raise(rig.monitor, event);
        EXPECT_EQ(rig.window.boxes, std::vector<std::u16string>(text.empty() ? 0 : 2, std::u16string(text))) << event;
        rig.receive({0x32, 0x33, 0x34});
        rig.tap({0xA7});
        EXPECT_EQ(rig.log_pane(),
                  u"__ __ __ __ A7 : [10:15:01] 受話器を上げる\r\n"
                  u"AD 31 32 33 34 : [10:15:01] 網情報 1234");
    }
}

}  // namespace
}  // namespace mirvane::testing
