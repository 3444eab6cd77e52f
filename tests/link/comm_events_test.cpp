// Events of both lines: every communication error in a box of its own text, line states
// and the rest raising nothing, and the lines decoding on afterwards.

#include <gtest/gtest.h>

#include "link/comm_errors.h"
#include "support/bench.h"

namespace mirvane::testing {
namespace {

// Each event and the box it raises; send, line states and end of file raise none.
constexpr std::u16string_view kOther = u"その他の通信エラー";
constexpr std::pair<std::int16_t, std::u16string_view> kEvents[] = {
    {1001, u"中断信号を受信"},
    {1002, u"CTSタイムアウト"},
    {1003, u"DSRタイムアウト"},
    {1004, u"フレーム エラー"},
    {1006, u"ポート オーバーラン"},
    {1007, u"CDタイムアウト"},
    {1008, u"受信バッファ オーバーフロー"},
    {1009, u"パリティ エラー"},
    {1010, u"送信バッファがいっぱい"},
    {1011, u"予期しないDCBエラー"},
    {1005, kOther},
    {1000, kOther},
    {1012, kOther},
    {8, kOther},
    {0, kOther},
    {-1, kOther},
    {1, {}},
    {3, {}},
    {4, {}},
    {5, {}},
    {6, {}},
    {7, {}},
};

TEST(CommEvents, each_event_on_either_line_raises_its_box_and_both_lines_decode_on) {
    for (const auto& [event, text] : kEvents) {
        Bench bench;
        bench.receive({0xAD, 0x31});
        bench.raise(bench.terminal, event);
        bench.raise(bench.monitor, event);
        EXPECT_EQ(bench.window.boxes, std::vector<std::u16string>(text.empty() ? 0 : 2, std::u16string(text))) << event;
        bench.receive({0x32, 0x33, 0x34});
        bench.tap({0xA7});
        EXPECT_EQ(bench.log_pane(),
                  u"__ __ __ __ A7 : [10:15:01] 受話器を上げる\r\n"
                  u"AD 31 32 33 34 : [10:15:01] 網情報 1234");
    }
}

}  // namespace
}  // namespace mirvane::testing
