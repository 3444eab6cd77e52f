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

struct ToneName {
    std::u16string_view name;
    std::string_view gloss;  // in English, for readers without Japanese
};

// "ー" is U+30FC, the prolonged sound mark, for kinds without a name of their own.
constexpr ToneName kToneNames[] = {
    {u"トーンOFF", "tone off"},
    {u"発信音", "dial tone"},
    {u"着信音", "ringing tone"},
    {u"通話中", "busy tone"},
    {u"ハウラ音", "howler tone"},
    {u"ー", "(unnamed)"},
    {u"ダイヤル送出音", "dialling tone (digits being sent)"},
    {u"電池アラーム音", "battery alarm tone"},
    {u"アラーム音", "alarm tone"},
    {u"ー", "(unnamed)"},
    {u"着信音（転送）", "ringing tone (forwarded call)"},
    {u"ー", "(unnamed)"},
    {u"ー", "(unnamed)"},
    {u"ー", "(unnamed)"},
    {u"ー", "(unnamed)"},
    {u"トーン制御マクロ", "tone control macro"},
};

}  // namespace

void dial_conv1(std::u16string& text, const std::uint8_t& code) {
    if (code < command_code::kDialBase || code > command_code::kDialLast) return;
    text = kDialCharacters[code & 0x0F];
}

void tone_ana(std::u16string& text, std::uint8_t tone_kind) {
    if (tone_kind >= std::size(kToneNames)) return;
    text = kToneNames[tone_kind].name;
}

std::string_view tone_gloss(std::uint8_t tone_kind) {
    return tone_kind < std::size(kToneNames) ? kToneNames[tone_kind].gloss : std::string_view{};
}

}  // namespace mirvane
