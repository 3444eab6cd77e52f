// Every status code of the terminal, fed through the decoder on its own, against the entry
// the operator must see: code pattern and meaning, to the character.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "decode/status_catalogue.h"
#include "logs/hex_text.h"
#include "support/bench.h"

namespace mirvane::testing {
namespace {

struct Expected {
    std::vector<std::uint8_t> bytes;
    std::u16string code;
    std::u16string meaning;  // behind the time stamp
};

void PrintTo(const Expected& e, std::ostream* os) {
    for (auto b : e.bytes) *os << std::hex << int(b) << ' ';
}

class CatalogueEntry : public ::testing::TestWithParam<Expected> {};

TEST_P(CatalogueEntry, is_logged_with_its_code_pattern_and_meaning) {
    const Expected& e = GetParam();
    Bench bench;
    for (const std::uint8_t b : e.bytes) bench.receive({b});
    EXPECT_EQ(bench.top_line(), e.code + u" : [10:15:01] " + e.meaning);
    EXPECT_EQ(bench.state.rx_state, 0);
    EXPECT_EQ(bench.state.log_pos, 1);
}

INSTANTIATE_TEST_SUITE_P(OneByteRows, CatalogueEntry, ::testing::Values(
    Expected{{0x18}, u"18 __ __ __ __", u"周波数安定化 OFF"},
    Expected{{0x19}, u"19 __ __ __ __", u"周波数安定化 ON"},
    Expected{{0x63}, u"63 __ __ __ __", u"システム表示"},
    Expected{{0x6A}, u"6A __ __ __ __", u"VOX OFF"},
    Expected{{0x6B}, u"6B __ __ __ __", u"VOX ON"},
    Expected{{0x70}, u"70 xx xx xx xx", u"メールデータ"},
    Expected{{0x80}, u"80 __ __ __ __", u"圏外表示OFF"},
    Expected{{0x81}, u"81 __ __ __ __", u"圏外表示ON"},
    Expected{{0x8A}, u"8A __ __ __ __", u"発信規制表示OFF"},
    Expected{{0x8B}, u"8B __ __ __ __", u"発信規制表示ON"},
    Expected{{0x8E}, u"8E __ __ __ __", u"ダイヤルロックOFF"},
    Expected{{0x8F}, u"8F __ __ __ __", u"ダイヤルロックON"},
    Expected{{0xA0}, u"A0 __ __ __ __", u"表示情報（終了）"},
    Expected{{0xA2}, u"A2 __ __ __ __", u"電池電圧低下"},
    Expected{{0xA3}, u"A3 __ __ __ __", u"無線装置リセット"},
    Expected{{0xA4}, u"A4 __ __ __ __", u"着信表示OFF"},
    Expected{{0xA5}, u"A5 __ __ __ __", u"着信表示ON"},
    Expected{{0xA6}, u"A6 __ __ __ __", u"通話中表示OFF"},
    Expected{{0xA7}, u"A7 __ __ __ __", u"通話中表示ON"},
    Expected{{0xA8}, u"A8 __ __ __ __", u"外付け機器制御"},
    Expected{{0xA9}, u"A9 __ __ __ __", u"携帯電話側制御"},
    Expected{{0xAA}, u"AA __ __ __ __", u"ダイヤル完了"},
    Expected{{0xAB}, u"AB __ __ __ __", u"メモリダイヤル書込完了"},
    Expected{{0xAE}, u"AE __ __ __ __", u"電池電圧回復"},
    Expected{{0xAF}, u"AF __ __ __ __", u"待受"},
    Expected{{0xE2}, u"E2 __ __ __ __", u"料金通知"},
    Expected{{0xE3}, u"E3 __ __ __ __", u"通話中着信通知"},
    Expected{{0xE6}, u"E6 __ __ __ __", u"着番号通知"},
    Expected{{0xEA}, u"EA __ __ __ __", u"表示情報（開始）"},
    Expected{{0xEB}, u"EB __ __ __ __", u"ローミング OFF"},
    Expected{{0xEC}, u"EC __ __ __ __", u"ローミング 自網"},
    Expected{{0xED}, u"ED __ __ __ __", u"ローミング 他網"},
    Expected{{0xEE}, u"EE __ __ __ __", u"ローミング表示"},
    Expected{{0xEF}, u"EF __ __ __ __", u"ローミング表示"}));

INSTANTIATE_TEST_SUITE_P(CollectedRows, CatalogueEntry, ::testing::Values(
    Expected{{0x14, 0x01}, u"14 01 __ __ __", u"無線機故障"},
    Expected{{0x15, 0x02}, u"15 02 __ __ __", u"無線機故障"},
    Expected{{0x16, 0x03}, u"16 03 __ __ __", u"無線機故障"},
    Expected{{0x17, 0xFF}, u"17 FF __ __ __", u"無線機故障"},
    Expected{{0x1A, 0x31, 0x32, 0x3A, 0x4B}, u"1A 31 32 3A 4B", u"サービス表示情報12AB"},
    Expected{{0x2F, 0x03}, u"2F 03 __ __ __", u"トーン種別 [F:トーン制御マクロ]"},
    Expected{{0x35, 0x31, 0x32, 0x3A, 0x4B}, u"35 31 32 3A 4B", u"サービス問合せ結果12AB"},
    Expected{{0x62, 0x00}, u"62 00 __ __ __", u"ショートメール着信"},
    Expected{{0x6E, 0x10}, u"6E 10 __ __ __", u"秘匿表示"},
    Expected{{0x88, 0x00}, u"88 00 __ __ __", u"ハンズフリー OFF"},
    Expected{{0x88, 0x01}, u"88 01 __ __ __", u"ハンズフリー ON"},
    Expected{{0x88, 0xFF}, u"88 FF __ __ __", u"ハンズフリー ON"},
    Expected{{0xAD, 0x31, 0x32, 0x3A, 0x4B}, u"AD 31 32 3A 4B", u"網情報 12AB"},
    Expected{{0xE0, 0x05}, u"E0 05 __ __ __", u"発番号通知"},
    Expected{{0xE1, 0x0A, 0x0B, 0x0C}, u"E1 0A 0B 0C __", u"理由表示"},
    Expected{{0xE7, 0x01, 0x02}, u"E7 01 02 __ __", u"理由表示値(RT)"},
    Expected{{0xE8, 0x00}, u"E8 00 __ __ __", u"非電話サービス確認"},
    Expected{{0xE9, 0x01, 0x02}, u"E9 01 02 __ __", u"理由表示値(MM)"},
    // An opener right after an opener is the first one's parameter.
    Expected{{0xE7, 0xE1, 0x00}, u"E7 E1 00 __ __", u"理由表示値(RT)"}));

INSTANTIATE_TEST_SUITE_P(LevelToneAndDigitRows, CatalogueEntry, ::testing::Values(
    Expected{{0xC0}, u"C0 __ __ __ __", u"受信レベル [0]"},
    Expected{{0xC3}, u"C3 __ __ __ __", u"受信レベル [3]"},
    Expected{{0xCA}, u"CA __ __ __ __", u"受信レベル [10]"},
    Expected{{0xCC}, u"CC __ __ __ __", u"受信レベル [12]"},
    Expected{{0xCF}, u"CF __ __ __ __", u"受信レベル [15]"},
    Expected{{0x20}, u"20 __ __ __ __", u"トーン種別 [0:トーンOFF]"},
    Expected{{0x21}, u"21 __ __ __ __", u"トーン種別 [1:発信音]"},
    Expected{{0x22}, u"22 __ __ __ __", u"トーン種別 [2:着信音]"},
    Expected{{0x23}, u"23 __ __ __ __", u"トーン種別 [3:通話中]"},
    Expected{{0x24}, u"24 __ __ __ __", u"トーン種別 [4:ハウラ音]"},
    Expected{{0x25}, u"25 __ __ __ __", u"トーン種別 [5:ー]"},
    Expected{{0x26}, u"26 __ __ __ __", u"トーン種別 [6:ダイヤル送出音]"},
    Expected{{0x27}, u"27 __ __ __ __", u"トーン種別 [7:電池アラーム音]"},
    Expected{{0x28}, u"28 __ __ __ __", u"トーン種別 [8:アラーム音]"},
    Expected{{0x29}, u"29 __ __ __ __", u"トーン種別 [9:ー]"},
    Expected{{0x2A}, u"2A __ __ __ __", u"トーン種別 [A:着信音（転送）]"},
    Expected{{0x2B}, u"2B __ __ __ __", u"トーン種別 [B:ー]"},
    Expected{{0x2E}, u"2E __ __ __ __", u"トーン種別 [E:ー]"},
    Expected{{0x90}, u"90 __ __ __ __", u"ダイヤル [D]"},
    Expected{{0x95}, u"95 __ __ __ __", u"ダイヤル [5]"},
    Expected{{0x9A}, u"9A __ __ __ __", u"ダイヤル [0]"},
    Expected{{0x9B}, u"9B __ __ __ __", u"ダイヤル [*]"},
    Expected{{0x9C}, u"9C __ __ __ __", u"ダイヤル [#]"},
    Expected{{0x9F}, u"9F __ __ __ __", u"ダイヤル [C]"}));

// Every byte without a row: recorded in the ring, never in the log.
TEST(IgnoredStatusCodes, reach_the_ring_but_never_the_log) {
    std::vector<std::uint8_t> ignored;
    auto add = [&](int first, int last) {
        for (int b = first; b <= last; ++b) ignored.push_back(static_cast<std::uint8_t>(b));
    };
    add(0x00, 0x13); add(0x1B, 0x1F); add(0x30, 0x34); add(0x36, 0x61); add(0x64, 0x69);
    add(0x6C, 0x6D); add(0x6F, 0x6F); add(0x71, 0x7F); add(0x82, 0x87); add(0x89, 0x89);
    add(0x8C, 0x8D); add(0xA1, 0xA1); add(0xAC, 0xAC); add(0xB0, 0xBF); add(0xD0, 0xDF);
    add(0xE4, 0xE5); add(0xF0, 0xFF);

    for (const std::uint8_t b : ignored) {
        Bench bench;
        bench.receive({b});
        EXPECT_EQ(bench.window.sets_of(Control::Text2), 1) << "byte " << int(b);  // load only
        EXPECT_EQ(bench.state.log_pos, 0) << "byte " << int(b);
        EXPECT_EQ(bench.state.rx_state, 0) << "byte " << int(b);
        EXPECT_EQ(bench.receive_pane(), hex_text(b)) << "byte " << int(b);
    }
    // Together with the rows of the catalogue, the ignored bytes cover every value once.
    int with_row = 0;
    for (int b = 0; b < 256; ++b) with_row += find_status_row(static_cast<std::uint8_t>(b)) ? 1 : 0;
    EXPECT_EQ(with_row + static_cast<int>(ignored.size()), 256);
}

}  // namespace
}  // namespace mirvane::testing
