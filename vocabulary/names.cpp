#include "vocabulary/names.h"

#include <iterator>
#include <string_view>

#include "vocabulary/command_codes.h"

namespace mirvane {

namespace {

// Indexed by the low four bits of the code: the common 4-bit DTMF digit code.
constexpr std::u16string_view kDialCharacters[] = {
    u"D", u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"8", u"9", u"0", u"*", u"#", u"A", u"B", u"C",
};

// "ー" is U+30FC, the prolonged sound mark, for kinds without a name of their own.
constexpr std::u16string_view kToneNames[] = {
    u"トーンOFF",
    u"発信音",
    u"着信音",
    u"通話中",
    u"ハウラ音",
    u"ー",
    u"ダイヤル送出音",
    u"電池アラーム音",
    u"アラーム音",
    u"ー",
    u"着信音（転送）",
    u"ー",
    u"ー",
    u"ー",
    u"ー",
    u"トーン制御マクロ",
};

}  // namespace

void dial_conv1(std::u16string& text, const std::uint8_t& code) {
    if (code < command_code::kDialBase || code > command_code::kDialLast) return;
    text = kDialCharacters[code & 0x0F];
}

void tone_ana(std::u16string& text, std::uint8_t tone_kind) {
    if (tone_kind >= std::size(kToneNames)) return;
    text = kToneNames[tone_kind];
}

}  // namespace mirvane
