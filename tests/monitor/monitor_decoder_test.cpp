// The monitor line's names, and how its entries share the log with the status decoder.

#include <gtest/gtest.h>

#include "support/bench.h"

namespace mirvane::testing {
namespace {

struct MonitorCase {
    std::uint8_t byte;
    std::u16string line;
};

void PrintTo(const MonitorCase& c, std::ostream* os) { *os << "byte " << int(c.byte); }

class MonitorName : public ::testing::TestWithParam<MonitorCase> {};

TEST_P(MonitorName, names_the_command_code_with_its_sending_label) {
    Bench bench;
    bench.window.now = u"10:15:02";
    bench.tap({GetParam().byte});
    EXPECT_EQ(bench.top_line(), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(CommandCodes, MonitorName, ::testing::Values(
    MonitorCase{0xA7, u"__ __ __ __ A7 : [10:15:02] 受話器を上げる"},
    MonitorCase{0xA6, u"__ __ __ __ A6 : [10:15:02] 受話器をおく"},
    MonitorCase{0xEA, u"__ __ __ __ EA : [10:15:02] 発番号非表示"},
    MonitorCase{0xEB, u"__ __ __ __ EB : [10:15:02] 発番号表示"},
    MonitorCase{0x86, u"__ __ __ __ 86 : [10:15:02] ダイヤル完了"},
    MonitorCase{0x90, u"__ __ __ __ 90 : [10:15:02] Dial [D]"},
    MonitorCase{0x95, u"__ __ __ __ 95 : [10:15:02] Dial [5]"},
    MonitorCase{0x9A, u"__ __ __ __ 9A : [10:15:02] Dial [0]"},
    MonitorCase{0x9C, u"__ __ __ __ 9C : [10:15:02] Dial [#]"},
    MonitorCase{0x9F, u"__ __ __ __ 9F : [10:15:02] Dial [C]"},
    MonitorCase{0x05, u"__ __ __ __ 05 : [10:15:02] *"},
    MonitorCase{0x8F, u"__ __ __ __ 8F : [10:15:02] *"},
    MonitorCase{0xA0, u"__ __ __ __ A0 : [10:15:02] *"},
    MonitorCase{0xA5, u"__ __ __ __ A5 : [10:15:02] *"},
    MonitorCase{0xFF, u"__ __ __ __ FF : [10:15:02] *"}));

TEST(MonitorLine, bytes_of_one_read_are_committed_in_order_with_one_time) {
    Bench bench;
    bench.tap({0xA7, 0xEB, 0x91});
    EXPECT_EQ(bench.log_pane(),
              u"__ __ __ __ 91 : [10:15:01] Dial [1]\r\n"
              u"__ __ __ __ EB : [10:15:01] 発番号表示\r\n"
              u"__ __ __ __ A7 : [10:15:01] 受話器を上げる");
    EXPECT_EQ(bench.state.log_pos, 3);
}

TEST(MonitorLine, never_touches_the_receive_ring_or_the_status_decoder) {
    Bench bench;
    bench.receive({0xC3, 0x20});
    const std::u16string ring = bench.receive_pane();
    const int ring_sets = bench.window.sets_of(Control::Text1);
    bench.tap({0xC3, 0x20, 0xE7});
    EXPECT_EQ(bench.receive_pane(), ring);
    EXPECT_EQ(bench.window.sets_of(Control::Text1), ring_sets);
    EXPECT_EQ(bench.state.rx_state, 0);
    EXPECT_EQ(bench.state.rx_level, 0xC3);
    EXPECT_EQ(bench.state.tone_kind, 16);
}

// A command seen on the tap while the terminal is still sending a message's parameters
// must neither overwrite nor split that message.
TEST(MonitorLine, an_entry_during_a_collected_message_leaves_both_entries_whole) {
    Bench bench;
    bench.receive({0x80});
    bench.receive({0xAD, 0x31});
    bench.window.now = u"10:15:02";
    bench.tap({0xA7, 0xEB});
    bench.window.now = u"10:15:03";
    bench.receive({0x32, 0x3A, 0x4B});

    EXPECT_EQ(bench.log_pane(),
              u"AD 31 32 3A 4B : [10:15:01] 網情報 12AB\r\n"
              u"__ __ __ __ EB : [10:15:02] 発番号表示\r\n"
              u"__ __ __ __ A7 : [10:15:02] 受話器を上げる\r\n"
              u"80 __ __ __ __ : [10:15:01] 圏外表示OFF");
    EXPECT_EQ(bench.state.log_pos, 4);
}

TEST(MonitorLine, the_open_message_never_shows_half_built) {
    Bench bench;
    bench.receive({0xE1, 0x01});
    bench.tap({0x86});
    EXPECT_EQ(bench.log_pane(), u"__ __ __ __ 86 : [10:15:01] ダイヤル完了");
    bench.receive({0x02, 0x03});
    EXPECT_EQ(bench.top_line(), u"E1 01 02 03 __ : [10:15:01] 理由表示");
}

TEST(MonitorLine, a_break_shows_its_box_and_the_next_byte_is_logged) {
    Bench bench;
    bench.monitor.event = comm_event::kBreak;
    MSComm2_OnComm(bench.program);
    ASSERT_EQ(bench.window.boxes.size(), 1u);
    EXPECT_EQ(bench.window.boxes[0], u"中断信号を受信");
    bench.tap({0xA6});
    EXPECT_EQ(bench.top_line(), u"__ __ __ __ A6 : [10:15:01] 受話器をおく");
}

TEST(MonitorLine, line_state_events_produce_nothing_visible) {
    Bench bench;
    for (const std::int16_t event : {1, 3, 4, 5, 6, 7}) {
        bench.monitor.event = event;
        MSComm2_OnComm(bench.program);
    }
    EXPECT_TRUE(bench.window.boxes.empty());
    EXPECT_EQ(bench.window.sets_of(Control::Text2), 1);
    EXPECT_EQ(bench.monitor.input_reads, 0);
}

}  // namespace
}  // namespace mirvane::testing
