// The receive ring and the message log at their edges: empty, wrap, and what is skipped.

#include <gtest/gtest.h>

#include "logs/message_log.h"
#include "logs/receive_ring.h"
#include "support/bench.h"

namespace mirvane::testing {
namespace {

TEST(ReceiveRing, renders_empty_when_every_slot_is_empty) {
    Bench bench;
    disp_RxData(bench.program);
    EXPECT_EQ(bench.receive_pane(), u"");
}

TEST(ReceiveRing, shows_the_newest_byte_first) {
    Bench bench;
    bench.receive({0x80, 0x05, 0xA6});
    EXPECT_EQ(bench.receive_pane(), u"A6 05 80");
}

TEST(ReceiveRing, keeps_exactly_the_last_200_bytes_across_the_wrap) {
    Bench bench;
    for (int i = 0; i < 201; ++i) bench.receive({static_cast<std::uint8_t>(i)});
    EXPECT_EQ(bench.state.rx_pos, 1);
    const std::u16string pane = bench.receive_pane();
    EXPECT_EQ(pane.size(), 200u * 2 + 199u);
    EXPECT_EQ(pane.substr(0, 8), u"C8 C7 C6");  // byte 200, 199, 198
    EXPECT_EQ(pane.substr(pane.size() - 5), u"02 01") << "byte 0 has been overwritten";
    EXPECT_EQ(pane.find(u"  "), std::u16string::npos);
}

TEST(MessageLog, wraps_from_slot_199_to_0_and_keeps_newest_first) {
    Bench bench;
    for (int i = 0; i < 199; ++i) bench.receive({0x80});
    EXPECT_EQ(bench.state.log_pos, 199);
    bench.receive({0xAF});
    EXPECT_EQ(bench.state.log_pos, 0);
    bench.receive({0xA5});
    EXPECT_EQ(bench.state.log_pos, 1);
    const std::u16string pane = bench.log_pane();
    EXPECT_EQ(pane.substr(0, pane.find(u"\r\n", pane.find(u"\r\n") + 2)),
              u"A5 __ __ __ __ : [10:15:01] 着信表示ON\r\n"
              u"AF __ __ __ __ : [10:15:01] 待受");
    // 200 entries shown: the newest and 199 older ones; the very first is gone.
    std::size_t lines = 1;
    for (std::size_t at = pane.find(u"\r\n"); at != std::u16string::npos; at = pane.find(u"\r\n", at + 2)) ++lines;
    EXPECT_EQ(lines, 200u);
    EXPECT_EQ(pane.substr(pane.size() - 2), u"FF");
}

TEST(MessageLog, skips_slots_without_a_code_and_shows_an_empty_meaning_as_separator) {
    Bench bench;
    bench.state.log_code[0] = u"";
    bench.state.log_text[0] = u"orphan meaning";
    bench.state.log_code[1] = u"80 __ __ __ __";
    bench.state.log_text[1] = u"";
    bench.state.log_pos = 2;
    bench.state.log_code[2] = u"AF __ __ __ __";
    bench.state.log_text[2] = u"[10:15:01] 待受";
    disp_Command(bench.program);
    EXPECT_EQ(bench.log_pane(), u"AF __ __ __ __ : [10:15:01] 待受\r\n80 __ __ __ __ : ");
    EXPECT_EQ(bench.state.log_pos, 3);
}

TEST(MessageLog, committing_an_empty_slot_shows_a_bare_separator_and_still_advances) {
    Bench bench;
    bench.receive({0x80});
    disp_Command(bench.program);
    EXPECT_EQ(bench.log_pane(), u" : \r\n80 __ __ __ __ : [10:15:01] 圏外表示OFF");
    EXPECT_EQ(bench.state.log_pos, 2);
}

}  // namespace
}  // namespace mirvane::testing
