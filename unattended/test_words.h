#pragma once
// The words of a test file, in one table: what each word is called in the file, what it
// takes, which of the window's controls it presses, and how the help text explains it. The
// reader, the runner and --help all read this table, so that none of them can drift apart.

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "program/window_ops.h"

namespace mirvane::unattended {

enum class Word : std::uint8_t {
    Case,
    Within,
    Start,
    Stop,
    Lift,
    PutDown,
    Dial,
    Key,
    Complete,
    Hex,
    Clear,
    Wait,
    ExpectMonitor,
    ExpectText,
    ExpectLevel,
    ExpectTone,
    ExpectDialData,
    ExpectNothing,
    ExpectNo,
    Expect,
};

// What follows the word on its line.
enum class Takes : std::uint8_t {
    Nothing,
    Name,      // the rest of the line
    Duration,  // 500ms, 2s, 1.5s
    Number,    // a number the dial button takes: 0-9, * and #
    Key,       // one keypad key
    HexText,   // what the hex field takes: pairs of hex digits
    Codes,     // a status code and up to four parameter bytes, in hex
    Code,      // one code in hex
    Text,      // the rest of the line
    Level,     // N or N..M, 0 to 15
    Tone,      // one hex digit
    Digits,    // dial digits
    CodeFor,   // CODE for DURATION
    For,       // for DURATION
};

enum class Kind : std::uint8_t { Case, Setting, Action, Expectation };

struct WordRow {
    std::string_view word;  // as written in the file; an expectation's words include "expect"
    Word id;
    Kind kind;
    Takes takes;
    std::string_view argument;  // the argument as the help text names it
    // The control the word presses, and the caption the operator knows it by; the keypad
    // has no Control of its own.
    std::optional<Control> control;
    std::u16string_view caption;
    std::string_view help;
};

std::span<const WordRow> test_words();

// The row for `id`; every Word has one.
const WordRow& word_row(Word id);

// The file format as --help and the man page give it, built from the table.
std::string file_format_help();

}  // namespace mirvane::unattended
