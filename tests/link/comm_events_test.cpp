// Events of the terminal line: data to the decoder, line states ignored, errors in a box.

#include <gtest/gtest.h>

#include "link/comm_events.h"
#include "support/bench.h"

namespace mirvane::testing {
namespace {

struct ErrorCase {
    std::int16_t event;
    std::u16string text;
};

void PrintTo(const ErrorCase& c, std::ostream* os) { *os << "event " << c.event; }

class CommError : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(CommError, shows_exactly_one_box_with_its_text_and_changes_nothing_else) {
    Bench bench;
    bench.receive({0xAD, 0x31});  // a message half collected
    const std::u16string log = bench.log_pane();
    const SharedState before = bench.state;

    bench.terminal.event = GetParam().event;
    MSComm1_OnComm(bench.program);

    ASSERT_EQ(bench.window.boxes.size(), 1u);
    EXPECT_EQ(bench.window.boxes[0], GetParam().text);
    EXPECT_EQ(bench.log_pane(), log);
    EXPECT_EQ(bench.state.rx_state, before.rx_state);
    EXPECT_EQ(bench.state.log_pos, before.log_pos);
    EXPECT_EQ(bench.state.log_text[0], before.log_text[0]);

    bench.receive({0x32, 0x33, 0x34});
    EXPECT_EQ(bench.top_line(), u"AD 31 32 33 34 : [10:15:01] 網情報 1234");
}

INSTANTIATE_TEST_SUITE_P(ErrorTable, CommError, ::testing::Values(
    ErrorCase{1001, u"中断信号を受信"},
    ErrorCase{1002, u"CTSタイムアウト"},
    ErrorCase{1003, u"DSRタイムアウト"},
    ErrorCase{1004, u"フレーム エラー"},
    ErrorCase{1006, u"ポート オーバーラン"},
    ErrorCase{1007, u"CDタイムアウト"},
    ErrorCase{1008, u"受信バッファ オーバーフロー"},
    ErrorCase{1009, u"パリティ エラー"},
    ErrorCase{1010, u"送信バッファがいっぱい"},
    ErrorCase{1011, u"予期しないDCBエラー"},
    // In neither table: the gap after 1004, values beside the range, nonsense.
    ErrorCase{1005, u"その他の通信エラー"},
    ErrorCase{1000, u"その他の通信エラー"},
    ErrorCase{1012, u"その他の通信エラー"},
    ErrorCase{0, u"その他の通信エラー"},
    ErrorCase{8, u"その他の通信エラー"},
    ErrorCase{-1, u"その他の通信エラー"}));

TEST(TerminalEvents, a_receive_event_reads_the_line_once_however_much_waits) {
    Bench bench;
    bench.receive({0x80, 0x81, 0xAF, 0xA2});
    EXPECT_EQ(bench.terminal.input_reads, 1);
    EXPECT_EQ(bench.state.log_pos, 4);
}

TEST(TerminalEvents, line_state_events_show_nothing_and_read_nothing) {
    Bench bench;
    for (const std::int16_t event : {1, 3, 4, 5, 6, 7}) {
        bench.terminal.event = event;
        MSComm1_OnComm(bench.program);
    }
    EXPECT_TRUE(bench.window.boxes.empty());
    EXPECT_EQ(bench.terminal.input_reads, 0);
    EXPECT_EQ(bench.window.sets_of(Control::Text2), 1);
}

// Boxes are modal and the window keeps handling events while one is open; errors that
// arrive meanwhile wait and follow one by one, and data keeps being decoded.
TEST(ErrorBoxes, a_storm_of_errors_gives_one_box_after_another_never_nested) {
    Bench bench;
    int delivered = 0;
    bench.window.while_box_open = [&] {
        if (delivered++ > 0) return;
        for (const std::int16_t event : {1004, 1009, 1006}) {
            bench.terminal.event = event;
            MSComm1_OnComm(bench.program);
        }
        bench.monitor.event = comm_event::kBreak;
        MSComm2_OnComm(bench.program);
        bench.receive({0xA5});
        bench.tap({0xA7});
    };
    bench.terminal.event = comm_event::kBreak;
    MSComm1_OnComm(bench.program);

    EXPECT_EQ(bench.window.deepest_boxes, 1);
    EXPECT_EQ(bench.window.boxes,
              (std::vector<std::u16string>{u"中断信号を受信", u"フレーム エラー", u"パリティ エラー",
                                           u"ポート オーバーラン", u"中断信号を受信"}));
    EXPECT_EQ(bench.log_pane(),
              u"__ __ __ __ A7 : [10:15:01] 受話器を上げる\r\n"
              u"A5 __ __ __ __ : [10:15:01] 着信表示ON");
    EXPECT_FALSE(bench.state.box_open);
}

}  // namespace
}  // namespace mirvane::testing
