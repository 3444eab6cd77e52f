#pragma once
// The host-to-terminal vocabulary: every command code the tool sends, with its name.
// The monitor decoder names the codes it sees on the tap with the same texts.

#include <cstdint>
#include <string>
#include <string_view>

namespace mirvane {

namespace command_code {
inline constexpr std::uint8_t kDialComplete = 0x86;
inline constexpr std::uint8_t kDialBase = 0x90;  // dial codes are 0x90..0x9F
inline constexpr std::uint8_t kDialLast = 0x9F;
inline constexpr std::uint8_t kOnHook = 0xA6;
inline constexpr std::uint8_t kOffHook = 0xA7;
inline constexpr std::uint8_t kCallerNumberHidden = 0xEA;
inline constexpr std::uint8_t kCallerNumberShown = 0xEB;
}  // namespace command_code

namespace command_name {
inline constexpr std::u16string_view kDialComplete = u"ダイヤル完了";
inline constexpr std::u16string_view kOnHook = u"受話器をおく";
inline constexpr std::u16string_view kOffHook = u"受話器を上げる";
inline constexpr std::u16string_view kCallerNumberHidden = u"発番号非表示";
inline constexpr std::u16string_view kCallerNumberShown = u"発番号表示";
}  // namespace command_name

// Every command code but the dial codes, with its name and the name in English.
struct CommandRow {
    std::uint8_t code;
    std::u16string_view name;
    std::string_view gloss;
};
inline constexpr CommandRow kCommandRows[] = {
    {command_code::kDialComplete, command_name::kDialComplete, "dial complete"},
    {command_code::kOnHook, command_name::kOnHook, "put the receiver down (on hook)"},
    {command_code::kOffHook, command_name::kOffHook, "lift the receiver (off hook)"},
    {command_code::kCallerNumberHidden, command_name::kCallerNumberHidden, "caller number hidden"},
    {command_code::kCallerNumberShown, command_name::kCallerNumberShown, "caller number shown"},
};

// A dial code's name in English is this and its character.
inline constexpr std::string_view kDialGloss = "dial digit";

// "Dial [" + character + "]": the name of a dial code, used as send label and monitor text.
std::u16string dial_label(std::u16string_view character);

// What a command code means as the monitor's entries name it: its name, "Dial [n]" for a
// dial code, and "*" for a byte that is no command.
std::u16string command_meaning(std::uint8_t code);

// Maps one dial character ("0"-"9", "*", "#", "A"-"D", upper case only) to its code;
// any other text leaves buf exactly as it was.
void dial_conv(std::u16string_view c, std::uint8_t& buf);

}  // namespace mirvane
