#include "vocabulary/status_catalogue.h"

#include <array>

namespace mirvane {

namespace {

constexpr std::u16string_view kEmptyColumns = u" __ __ __ __";
constexpr std::u16string_view kMailColumns = u" xx xx xx xx";
constexpr std::u16string_view kOpenerOnly = u"";

using K = StatusKind;
using R = ParameterRule;

constexpr StatusRow one(std::uint8_t code, std::u16string_view meaning) {
    return {code, code, K::OneByte, 0, kEmptyColumns, meaning, R::None};
}

constexpr StatusRow opener(std::uint8_t first, std::uint8_t last, std::uint8_t parameters, std::u16string_view meaning,
                           ParameterRule rule = R::None) {
    return {first, last, K::Collected, parameters, kOpenerOnly, meaning, rule};
}

constexpr std::array kCatalogue{
    opener(0x14, 0x17, 1, u"無線機故障"),
    one(0x18, u"周波数安定化 OFF"),
    one(0x19, u"周波数安定化 ON"),
    opener(0x1A, 0x1A, 4, u"サービス表示情報", R::Digits),
    StatusRow{0x20, 0x2E, K::Tone, 0, kEmptyColumns, u"", R::None},
    StatusRow{0x2F, 0x2F, K::ToneMacro, 1, kOpenerOnly, u"トーン種別 [F:トーン制御マクロ]", R::None},
    opener(0x35, 0x35, 4, u"サービス問合せ結果", R::Digits),
    opener(0x62, 0x62, 1, u"ショートメール着信"),
    one(0x63, u"システム表示"),
    one(0x6A, u"VOX OFF"),
    one(0x6B, u"VOX ON"),
    opener(0x6E, 0x6E, 1, u"秘匿表示"),
    StatusRow{0x70, 0x70, K::OneByte, 0, kMailColumns, u"メールデータ", R::None},
    one(0x80, u"圏外表示OFF"),
    one(0x81, u"圏外表示ON"),
    opener(0x88, 0x88, 1, u"ハンズフリー", R::OnOff),
    one(0x8A, u"発信規制表示OFF"),
    one(0x8B, u"発信規制表示ON"),
    one(0x8E, u"ダイヤルロックOFF"),
    one(0x8F, u"ダイヤルロックON"),
    StatusRow{0x90, 0x9F, K::Digit, 0, kEmptyColumns, u"", R::None},
    one(0xA0, u"表示情報（終了）"),
    one(0xA2, u"電池電圧低下"),
    one(0xA3, u"無線装置リセット"),
    one(0xA4, u"着信表示OFF"),
    one(0xA5, u"着信表示ON"),
    one(0xA6, u"通話中表示OFF"),
    one(0xA7, u"通話中表示ON"),
    one(0xA8, u"外付け機器制御"),
    one(0xA9, u"携帯電話側制御"),
    one(0xAA, u"ダイヤル完了"),
    one(0xAB, u"メモリダイヤル書込完了"),
    opener(0xAD, 0xAD, 4, u"網情報 ", R::Digits),
    one(0xAE, u"電池電圧回復"),
    one(0xAF, u"待受"),
    StatusRow{0xC0, 0xCF, K::Level, 0, kEmptyColumns, u"", R::None},
    opener(0xE0, 0xE0, 1, u"発番号通知"),
    opener(0xE1, 0xE1, 3, u"理由表示"),
    one(0xE2, u"料金通知"),
    one(0xE3, u"通話中着信通知"),
    one(0xE6, u"着番号通知"),
    opener(0xE7, 0xE7, 2, u"理由表示値(RT)"),
    opener(0xE8, 0xE8, 1, u"非電話サービス確認"),
    opener(0xE9, 0xE9, 2, u"理由表示値(MM)"),
    one(0xEA, u"表示情報（開始）"),
    one(0xEB, u"ローミング OFF"),
    one(0xEC, u"ローミング 自網"),
    one(0xED, u"ローミング 他網"),
    // Shadowed by the rows above for 0xE8..0xED; it names 0xEE and 0xEF.
    StatusRow{0xE8, 0xEF, K::OneByte, 0, kEmptyColumns, u"ローミング表示", R::None},
};

// The decoder looks a code up for every byte in the ready state, so the first-match
// search is done once, here, into a table indexed by the code.
struct Index {
    std::array<const StatusRow*, 256> rows{};
    Index() {
        for (int code = 0xFF; code >= 0; --code) {
            for (const StatusRow& row : kCatalogue) {
                if (code >= row.first && code <= row.last) {
                    rows[static_cast<std::size_t>(code)] = &row;
                    break;
                }
            }
        }
    }
};

const Index kIndex;

}  // namespace

const StatusRow* find_status_row(std::uint8_t code) { return kIndex.rows[code]; }

}  // namespace mirvane
