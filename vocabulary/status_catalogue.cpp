#include "vocabulary/status_catalogue.h"

#include <array>

namespace mirvane {

namespace {

constexpr std::u16string_view kEmptyColumns = u" __ __ __ __";
constexpr std::u16string_view kMailColumns = u" xx xx xx xx";
constexpr std::u16string_view kOpenerOnly = u"";

using K = StatusKind;
using R = ParameterRule;

constexpr StatusRow one(std::uint8_t code, std::u16string_view meaning, std::string_view gloss) {
    return {code, code, K::OneByte, 0, kEmptyColumns, meaning, R::None, gloss};
}

constexpr StatusRow opener(std::uint8_t first, std::uint8_t last, std::uint8_t parameters, std::u16string_view meaning,
                           std::string_view gloss, ParameterRule rule = R::None) {
    return {first, last, K::Collected, parameters, kOpenerOnly, meaning, rule, gloss};
}

constexpr std::array kCatalogue{
    opener(0x14, 0x17, 1, u"無線機故障", "radio unit failure"),
    one(0x18, u"周波数安定化 OFF", "frequency stabilisation off"),
    one(0x19, u"周波数安定化 ON", "frequency stabilisation on"),
    opener(0x1A, 0x1A, 4, u"サービス表示情報", "service indication information", R::Digits),
    StatusRow{0x20, 0x2E, K::Tone, 0, kEmptyColumns, u"", R::None, "tone kind"},
    StatusRow{0x2F, 0x2F, K::ToneMacro, 1, kOpenerOnly, u"トーン種別 [F:トーン制御マクロ]", R::None,
              "tone kind [F: tone control macro]"},
    opener(0x35, 0x35, 4, u"サービス問合せ結果", "service inquiry result", R::Digits),
    opener(0x62, 0x62, 1, u"ショートメール着信", "short mail received"),
    one(0x63, u"システム表示", "system indication"),
    one(0x6A, u"VOX OFF", "VOX off"),
    one(0x6B, u"VOX ON", "VOX on"),
    opener(0x6E, 0x6E, 1, u"秘匿表示", "ciphering indication"),
    StatusRow{0x70, 0x70, K::OneByte, 0, kMailColumns, u"メールデータ", R::None, "mail data"},
    one(0x80, u"圏外表示OFF", "out-of-service indication off"),
    one(0x81, u"圏外表示ON", "out-of-service indication on"),
    opener(0x88, 0x88, 1, u"ハンズフリー", "hands-free", R::OnOff),
    one(0x8A, u"発信規制表示OFF", "outgoing call restriction indication off"),
    one(0x8B, u"発信規制表示ON", "outgoing call restriction indication on"),
    one(0x8E, u"ダイヤルロックOFF", "dial lock off"),
    one(0x8F, u"ダイヤルロックON", "dial lock on"),
    StatusRow{0x90, 0x9F, K::Digit, 0, kEmptyColumns, u"", R::None, "dial digit"},
    one(0xA0, u"表示情報（終了）", "display information (end)"),
    one(0xA2, u"電池電圧低下", "battery voltage low"),
    one(0xA3, u"無線装置リセット", "radio unit reset"),
    one(0xA4, u"着信表示OFF", "incoming call indication off"),
    one(0xA5, u"着信表示ON", "incoming call indication on"),
    one(0xA6, u"通話中表示OFF", "in-call indication off"),
    one(0xA7, u"通話中表示ON", "in-call indication on"),
    one(0xA8, u"外付け機器制御", "external equipment control"),
    one(0xA9, u"携帯電話側制御", "handset-side control"),
    one(0xAA, u"ダイヤル完了", "dial complete"),
    one(0xAB, u"メモリダイヤル書込完了", "memory dial write complete"),
    opener(0xAD, 0xAD, 4, u"網情報 ", "network information", R::Digits),
    one(0xAE, u"電池電圧回復", "battery voltage recovered"),
    one(0xAF, u"待受", "standby"),
    StatusRow{0xC0, 0xCF, K::Level, 0, kEmptyColumns, u"", R::None, "reception level"},
    opener(0xE0, 0xE0, 1, u"発番号通知", "calling number notification"),
    opener(0xE1, 0xE1, 3, u"理由表示", "cause indication"),
    one(0xE2, u"料金通知", "charge notification"),
    one(0xE3, u"通話中着信通知", "call waiting notification"),
    one(0xE6, u"着番号通知", "called number notification"),
    opener(0xE7, 0xE7, 2, u"理由表示値(RT)", "cause value (RT)"),
    opener(0xE8, 0xE8, 1, u"非電話サービス確認", "non-telephone service confirmation"),
    opener(0xE9, 0xE9, 2, u"理由表示値(MM)", "cause value (MM)"),
    one(0xEA, u"表示情報（開始）", "display information (start)"),
    one(0xEB, u"ローミング OFF", "roaming off"),
    one(0xEC, u"ローミング 自網", "roaming: home network"),
    one(0xED, u"ローミング 他網", "roaming: other network"),
    // Shadowed by the rows above for 0xE8..0xED; it names 0xEE and 0xEF.
    StatusRow{0xE8, 0xEF, K::OneByte, 0, kEmptyColumns, u"ローミング表示", R::None, "roaming indication"},
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

std::vector<StatusRun> status_runs() {
    std::vector<StatusRun> runs;
    for (int code = 0; code <= 0xFF; ++code) {
        const StatusRow* row = kIndex.rows[static_cast<std::size_t>(code)];
        if (row == nullptr) continue;
        const auto byte = static_cast<std::uint8_t>(code);
        if (!runs.empty() && runs.back().row == row && runs.back().last + 1 == code) {
            runs.back().last = byte;
        } else {
            runs.push_back({byte, byte, row});
        }
    }
    return runs;
}

}  // namespace mirvane
