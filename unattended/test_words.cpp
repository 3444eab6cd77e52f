#include "unattended/test_words.h"

#include <array>

#include "program/captions.h"
#include "vocabulary/command_codes.h"
#include "vocabulary/utf8.h"

namespace mirvane::unattended {

namespace {

// Captions the core never sets: the window shows them as designed.
constexpr std::u16string_view kKeypadCaption = u"1 … 9, 0, *, #";
constexpr std::u16string_view kHexCaption = u"HEXコード送信";
constexpr std::u16string_view kClearCaption = u"情報表示消去";

using C = Control;

// clang-format off
constexpr std::array kWords{
    WordRow{"case", Word::Case, Kind::Case, Takes::Name, "NAME", std::nullopt, u"",
            "starts a case; the steps up to the next case are its own"},
    WordRow{"within", Word::Within, Kind::Setting, Takes::Duration, "DURATION", std::nullopt, u"",
            "the wait of every expectation after it in the file that names none (2s before)"},
    WordRow{"start", Word::Start, Kind::Action, Takes::Nothing, "", C::Command1, caption::kStartCommunication,
            "starts terminal communication, unless it runs"},
    WordRow{"stop", Word::Stop, Kind::Action, Takes::Nothing, "", C::Command1, caption::kStopCommunication,
            "stops terminal communication, if it runs"},
    WordRow{"lift", Word::Lift, Kind::Action, Takes::Nothing, "", C::Command4, caption::kLiftReceiver,
            "lifts the receiver (A7, then EB), unless it is up"},
    WordRow{"put-down", Word::PutDown, Kind::Action, Takes::Nothing, "", C::Command4, caption::kPutReceiverDown,
            "puts the receiver down (A6), if it is up"},
    WordRow{"dial", Word::Dial, Kind::Action, Takes::Number, "NUMBER", C::Command3, caption::kDialNumber,
            "dials NUMBER (0-9, * and #) as typed in the telephone number box"},
    WordRow{"key", Word::Key, Kind::Action, Takes::Key, "K", std::nullopt, kKeypadCaption,
            "presses keypad key K: 0-9, * or #"},
    WordRow{"complete", Word::Complete, Kind::Action, Takes::Nothing, "", C::Command6, command_name::kDialComplete,
            "sends dial complete (86)"},
    WordRow{"hex", Word::Hex, Kind::Action, Takes::HexText, "TEXT", C::Command8, kHexCaption,
            "sends TEXT as typed in the HEX Code box: pairs of hex digits, A7EB"},
    WordRow{"clear", Word::Clear, Kind::Action, Takes::Nothing, "", C::Command7, kClearCaption,
            "empties both panes"},
    WordRow{"wait", Word::Wait, Kind::Action, Takes::Duration, "DURATION", std::nullopt, u"",
            "lets DURATION pass; what comes meanwhile counts for the expectations after it"},
    WordRow{"expect monitor", Word::ExpectMonitor, Kind::Expectation, Takes::Code, "CODE", std::nullopt, u"",
            "a monitor entry with command code CODE (A7)"},
    WordRow{"expect text", Word::ExpectText, Kind::Expectation, Takes::Text, "TEXT", std::nullopt, u"",
            "an entry whose meaning contains TEXT (網情報)"},
    WordRow{"expect level", Word::ExpectLevel, Kind::Expectation, Takes::Level, "N[..M]", C::Label1, u"",
            "the reception level label reads N, or N to M"},
    WordRow{"expect tone", Word::ExpectTone, Kind::Expectation, Takes::Tone, "X", C::Label2, u"",
            "the tone label reads the hex digit X"},
    WordRow{"expect dial-data", Word::ExpectDialData, Kind::Expectation, Takes::Digits, "DIGITS", C::Text4, u"",
            "Dial データ ends with DIGITS (it keeps every digit since the start)"},
    WordRow{"expect nothing", Word::ExpectNothing, Kind::Expectation, Takes::For, "for DURATION", std::nullopt, u"",
            "no entry at all comes for DURATION"},
    WordRow{"expect no", Word::ExpectNo, Kind::Expectation, Takes::CodeFor, "CODE for DURATION", std::nullopt, u"",
            "no status entry with code CODE comes for DURATION"},
    WordRow{"expect", Word::Expect, Kind::Expectation, Takes::Codes, "CODE [PARAM...]", std::nullopt, u"",
            "a status entry with code CODE and these parameters (AD 30 33 31 32)"},
};
// clang-format on

constexpr std::size_t kHelpColumn = 28;
constexpr std::size_t kHelpWidth = 80;

// Breaks at spaces so that no line of the help runs past kHelpWidth bytes.
std::string wrapped(const std::string& help) {
    std::string out;
    std::size_t line = kHelpColumn;
    std::size_t i = 0;
    while (i < help.size()) {
        const std::size_t end = std::min(help.find(' ', i), help.size());
        const std::string word = help.substr(i, end - i);
        if (line > kHelpColumn && line + 1 + word.size() > kHelpWidth) {
            out += "\n" + std::string(kHelpColumn, ' ');
            line = kHelpColumn;
        } else if (line > kHelpColumn) {
            out += ' ';
            ++line;
        }
        out += word;
        line += word.size();
        i = end + 1;
    }
    return out;
}

}  // namespace

std::span<const WordRow> test_words() { return kWords; }

const WordRow& word_row(Word id) {
    for (const WordRow& row : kWords) {
        if (row.id == id) return row;
    }
    return kWords.front();
}

std::string file_format_help() {
    std::string text = R"(The test file:
  UTF-8, one step a line; blank lines and indentation are free. A '#' at the start
  of a word begins a comment, except the argument of dial and key (key #).
  A file holds one or more cases. Before the first case terminal communication is
  started, after the last it is stopped; each case begins with both panes cleared,
  the receiver down and terminal communication running.

)";
    const auto add_rows = [&](Kind kind, const char* heading) {
        text += heading;
        for (const WordRow& row : kWords) {
            if (row.kind != kind) continue;
            std::string usage = "  " + std::string(row.word);
            if (!row.argument.empty()) usage += " " + std::string(row.argument);
            text += usage.size() < kHelpColumn ? usage + std::string(kHelpColumn - usage.size(), ' ')
                                               : usage + "\n" + std::string(kHelpColumn, ' ');
            std::string help(row.help);
            if (!row.caption.empty()) help += " [" + to_utf8(row.caption) + "]";
            text += wrapped(help) + "\n";
        }
    };
    add_rows(Kind::Case, "Cases:\n");
    add_rows(Kind::Setting, "Settings:\n");
    add_rows(Kind::Action, "Actions, each pressing the window's control named in brackets:\n");
    add_rows(Kind::Expectation, "Expectations, each failing its case when its wait runs out:\n");
    text += R"(
  An expectation waits at most for the 'within DURATION' at the end of its line
  (the default is 2s). DURATION is a number and ms or s: 500ms, 2s, 1.5s.
  Entries are taken in order:
  an expectation is met by the first matching entry after the one that met the
  expectation before it, and never by one that came before the last action.
  A message box (a lost line) fails its case; after a lost line the cases left
  are errors.
)";
    return text;
}

}  // namespace mirvane::unattended
