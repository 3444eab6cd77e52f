#pragma once
// Scenario scripts and captures: timed bytes the simulator plays on the lines, so that a
// session can be played again exactly.
//
// A script is the handset's side, on the terminal line:
//   # comment                 a line or the rest of a line
//   +500 A5 22                500 ms after the step before, send A5 then 22
//   +0   AD 30 33 31 32       at once after it
//   +2000                     a pause alone
// A delay counts from the time of the step before (the first from the start of the
// script); the bytes of a step then leave at the line's pace, behind any still queued.
//
// A capture is what Mirvane read on both lines, one read a line, and the operator's
// actions between them (vocabulary/capture_format.h). Each read is played as one write,
// after the time from the read before, a pause of more than the longest gap cut to it; the
// actions are only counted, as no far side can repeat them (mirvane --replay does).

#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "vocabulary/lines.h"

namespace mirvane::sim {

enum class Format : std::uint8_t { Script, Capture };

struct ScriptStep {
    std::chrono::milliseconds at;  // from the start of the script
    std::vector<std::uint8_t> bytes;
    int file_line;  // for messages
    Line line = Line::terminal;
};

struct Script {
    std::string name;  // the file it came from
    Format format = Format::Script;
    std::vector<ScriptStep> steps;
    // A capture's: what was passed over (a last line cut short), and how many of each action
    // (start, stop, clear) it records.
    std::vector<std::string> warnings;
    std::array<int, 4> actions{};
};

// What went wrong and where, ready to print: "file:line: what".
struct ScriptError {
    std::string message;
};

// The longest delay one step may ask for: an hour is far beyond any test session, and a
// bound keeps the running total from overflowing. A longer pause in a capture is played
// as an hour unless asked otherwise, and never as more than a day.
inline constexpr std::chrono::milliseconds kLongestDelay{3'600'000};
inline constexpr std::chrono::milliseconds kLongestGap{86'400'000};

// Parses script or capture text; name is used in error messages only. A capture's pauses
// longer than max_gap (at most kLongestGap) are played as max_gap.
std::variant<Script, ScriptError> parse_script(std::string_view text, std::string_view name,
                                               Format format = Format::Script,
                                               std::chrono::milliseconds max_gap = kLongestDelay);

// Reads and parses a file, a line at a time.
std::variant<Script, ScriptError> load_script(const std::string& path, Format format = Format::Script,
                                              std::chrono::milliseconds max_gap = kLongestDelay);

}  // namespace mirvane::sim
