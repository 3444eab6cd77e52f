#pragma once
// The terminal-to-host vocabulary: how each status code is treated when it arrives in the
// ready state. A byte without a row is ignored.

#include <cstdint>
#include <string_view>
#include <vector>

namespace mirvane {

enum class StatusKind : std::uint8_t {
    OneByte,    // complete in this byte
    Collected,  // opens a message of `parameters` further bytes
    ToneMacro,  // 0x2F: a tone report that also opens a one-parameter message
    Level,      // reception level, 0xC0..0xCF
    Tone,       // tone kind, 0x20..0x2E
    Digit,      // dial digit, 0x90..0x9F
};

enum class ParameterRule : std::uint8_t {
    None,    // the meaning stays as the opener wrote it
    OnOff,   // the meaning becomes "ハンズフリー OFF" for 0x00, "ハンズフリー ON" otherwise
    Digits,  // the low hex digit of each parameter is appended to the meaning
};

struct StatusRow {
    std::uint8_t first;
    std::uint8_t last;
    StatusKind kind;
    std::uint8_t parameters;
    // Follows the code's two hex digits in the code pattern written at arrival.
    std::u16string_view pattern_tail;
    std::u16string_view meaning;
    ParameterRule rule;
    // The meaning in English, for readers without Japanese; the operator sees only `meaning`.
    std::string_view gloss;
};

// Every status code's row in code order; a row shadowed by another for some codes
// appears once for each run of codes it names.
struct StatusRun {
    std::uint8_t first;
    std::uint8_t last;
    const StatusRow* row;
};
std::vector<StatusRun> status_runs();

// The row of a status code, or nullptr when the byte is to be ignored.
const StatusRow* find_status_row(std::uint8_t code);

// The status codes a handset speaks on its own initiative, by name; their rows say what
// each one means.
namespace status_code {
inline constexpr std::uint8_t kToneOff = 0x20;
inline constexpr std::uint8_t kDialTone = 0x21;
inline constexpr std::uint8_t kRingingTone = 0x22;
inline constexpr std::uint8_t kIncomingCallOff = 0xA4;
inline constexpr std::uint8_t kIncomingCallOn = 0xA5;
inline constexpr std::uint8_t kInCallOff = 0xA6;
inline constexpr std::uint8_t kInCallOn = 0xA7;
inline constexpr std::uint8_t kDialComplete = 0xAA;
inline constexpr std::uint8_t kStandby = 0xAF;
inline constexpr std::uint8_t kLevelBase = 0xC0;  // levels 0..15 are 0xC0..0xCF
}  // namespace status_code

namespace status_text {
inline constexpr std::u16string_view kToneOff = u"0:トーンOFF";
inline constexpr std::u16string_view kToneKindPrefix = u"トーン種別 [";
inline constexpr std::u16string_view kLevelPrefix = u"受信レベル [";
inline constexpr std::u16string_view kDialPrefix = u"ダイヤル [";
inline constexpr std::u16string_view kClose = u"]";
inline constexpr std::u16string_view kHandsFreeOff = u"ハンズフリー OFF";
inline constexpr std::u16string_view kHandsFreeOn = u"ハンズフリー ON";
// The tone label: ASCII spaces around the colon for off and the macro, ideographic
// spaces for the named kinds.
inline constexpr std::u16string_view kToneLabelOff = u"Tone ： 0";
inline constexpr std::u16string_view kToneLabelMacro = u"Tone ： F";
inline constexpr std::u16string_view kToneLabelPrefix = u"Tone　：　";
}  // namespace status_text

}  // namespace mirvane
