// Every status code of the terminal, fed through the decoder on its own, against the entry
// the operator must see, to the character; every other byte is ignored.

#include <gtest/gtest.h>

#include <cctype>
#include <set>

#include "support/bench.h"

namespace mirvane::testing {
namespace {

// One row per code, a few more for the parameter rules: the bytes as the code column shows
// them (columns it lacks are "__"), and the meaning behind the time stamp.
constexpr std::u16string_view kRows[][2] = {
    {u"18", u"周波数安定化 OFF"},
    {u"19", u"周波数安定化 ON"},
    {u"63", u"システム表示"},
    {u"6A", u"VOX OFF"},
    {u"6B", u"VOX ON"},
    {u"70 xx xx xx xx", u"メールデータ"},
    {u"80", u"圏外表示OFF"},
    {u"81", u"圏外表示ON"},
    {u"8A", u"発信規制表示OFF"},
    {u"8B", u"発信規制表示ON"},
    {u"8E", u"ダイヤルロックOFF"},
    {u"8F", u"ダイヤルロックON"},
    {u"A0", u"表示情報（終了）"},
    {u"A2", u"電池電圧低下"},
    {u"A3", u"無線装置リセット"},
    {u"A4", u"着信表示OFF"},
    {u"A5", u"着信表示ON"},
    {u"A6", u"通話中表示OFF"},
    {u"A7", u"通話中表示ON"},
    {u"A8", u"外付け機器制御"},
    {u"A9", u"携帯電話側制御"},
    {u"AA", u"ダイヤル完了"},
    {u"AB", u"メモリダイヤル書込完了"},
    {u"AE", u"電池電圧回復"},
    {u"AF", u"待受"},
    {u"E2", u"料金通知"},
    {u"E3", u"通話中着信通知"},
    {u"E6", u"着番号通知"},
    {u"EA", u"表示情報（開始）"},
    {u"EB", u"ローミング OFF"},
    {u"EC", u"ローミング 自網"},
    {u"ED", u"ローミング 他網"},
    {u"EE", u"ローミング表示"},
    {u"EF", u"ローミング表示"},
    // Collected messages: the opener, then its parameters.
    {u"14 01", u"無線機故障"},
    {u"15 02", u"無線機故障"},
    {u"16 03", u"無線機故障"},
    {u"17 FF", u"無線機故障"},
    {u"1A 31 32 3A 4B", u"サービス表示情報12AB"},
    {u"35 4A 05 F0 9C", u"サービス問合せ結果A50C"},
    {u"AD 31 32 3A 4B", u"網情報 12AB"},
    {u"2F 03", u"トーン種別 [F:トーン制御マクロ]"},
    {u"62 00", u"ショートメール着信"},
    {u"6E 10", u"秘匿表示"},
    {u"88 00", u"ハンズフリー OFF"},
    {u"88 01", u"ハンズフリー ON"},
    {u"88 FF", u"ハンズフリー ON"},
    {u"E0 05", u"発番号通知"},
    {u"E1 0A 0B 0C", u"理由表示"},
    {u"E7 01 02", u"理由表示値(RT)"},
    {u"E8 00", u"非電話サービス確認"},
    {u"E9 01 02", u"理由表示値(MM)"},
    {u"E7 E1 00", u"理由表示値(RT)"},
    // Tone kinds.
    {u"20", u"トーン種別 [0:トーンOFF]"},
    {u"21", u"トーン種別 [1:発信音]"},
    {u"22", u"トーン種別 [2:着信音]"},
    {u"23", u"トーン種別 [3:通話中]"},
    {u"24", u"トーン種別 [4:ハウラ音]"},
    {u"25", u"トーン種別 [5:ー]"},
    {u"26", u"トーン種別 [6:ダイヤル送出音]"},
    {u"27", u"トーン種別 [7:電池アラーム音]"},
    {u"28", u"トーン種別 [8:アラーム音]"},
    {u"29", u"トーン種別 [9:ー]"},
    {u"2A", u"トーン種別 [A:着信音（転送）]"},
    {u"2B", u"トーン種別 [B:ー]"},
    {u"2C", u"トーン種別 [C:ー]"},
    {u"2D", u"トーン種別 [D:ー]"},
    {u"2E", u"トーン種別 [E:ー]"},
    // Reception levels, in decimal.
    {u"C0", u"受信レベル [0]"},
    {u"C1", u"受信レベル [1]"},
    {u"C2", u"受信レベル [2]"},
    {u"C3", u"受信レベル [3]"},
    {u"C4", u"受信レベル [4]"},
    {u"C5", u"受信レベル [5]"},
    {u"C6", u"受信レベル [6]"},
    {u"C7", u"受信レベル [7]"},
    {u"C8", u"受信レベル [8]"},
    {u"C9", u"受信レベル [9]"},
    {u"CA", u"受信レベル [10]"},
    {u"CB", u"受信レベル [11]"},
    {u"CC", u"受信レベル [12]"},
    {u"CD", u"受信レベル [13]"},
    {u"CE", u"受信レベル [14]"},
    {u"CF", u"受信レベル [15]"},
    // Dial digits.
    {u"90", u"ダイヤル [D]"},
    {u"91", u"ダイヤル [1]"},
    {u"92", u"ダイヤル [2]"},
    {u"93", u"ダイヤル [3]"},
    {u"94", u"ダイヤル [4]"},
    {u"95", u"ダイヤル [5]"},
    {u"96", u"ダイヤル [6]"},
    {u"97", u"ダイヤル [7]"},
    {u"98", u"ダイヤル [8]"},
    {u"99", u"ダイヤル [9]"},
    {u"9A", u"ダイヤル [0]"},
    {u"9B", u"ダイヤル [*]"},
    {u"9C", u"ダイヤル [#]"},
    {u"9D", u"ダイヤル [A]"},
    {u"9E", u"ダイヤル [B]"},
    {u"9F", u"ダイヤル [C]"},
};

std::vector<std::uint8_t> bytes_of(std::u16string_view code) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < code.size() && std::isxdigit(code[i]); i += 3)
        bytes.push_back(std::stoi(std::string{char(code[i]), char(code[i + 1])}, nullptr, 16));
    return bytes;
}

TEST(StatusCatalogue, each_code_gives_its_entry_one_byte_a_read) {
    for (const auto& [code, meaning] : kRows) {
        Bench bench;
        for (const std::uint8_t b : bytes_of(code)) bench.receive({b});
        std::u16string column(code);
        while (column.size() < 14) column += u" __";
        EXPECT_EQ(bench.log_pane(), column + u" : [10:15:01] " + std::u16string(meaning));
    }
}

// The rows above name every code that has a meaning; any other byte reaches the ring,
// never the log, and leaves the decoder ready for the next code.
TEST(StatusCatalogue, every_other_byte_reaches_the_ring_and_never_the_log) {
    std::set<int> with_row;
    for (const auto& row : kRows) with_row.insert(bytes_of(row[0]).front());
    const std::u16string_view hex = u"0123456789ABCDEF";
    for (int b = 0; b < 256; ++b) {
        if (with_row.contains(b)) continue;
        Bench bench;
        bench.receive({static_cast<std::uint8_t>(b), 0xAF});
        EXPECT_EQ(bench.receive_pane(), (std::u16string{u'A', u'F', u' ', hex[b >> 4], hex[b & 15]}));
        EXPECT_EQ(bench.log_pane(), u"AF __ __ __ __ : [10:15:01] 待受");
    }
}

}  // namespace
}  // namespace mirvane::testing
