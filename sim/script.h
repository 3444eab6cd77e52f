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
// A capture is what Mirvane read on both lines, one read a line:
//   # Mirvane capture: one read a line: local date and time, line, bytes in hex
//   2026-12-07 10:15:01.250 terminal AF C5
//   2026-12-07 10:15:01.270 monitor A7 EB
// Each read is played as one write, after the time from the read before.

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
};

// What went wrong and where, ready to print: "file:line: what".
struct ScriptError {
    std::string message;
};

// The longest delay one step may ask for: an hour is far beyond any test session, and a
// bound keeps the running total from overflowing. A longer pause in a capture is played
// as an hour.
inline constexpr std::chrono::milliseconds kLongestDelay{3'600'000};

// Parses script or capture text; name is used in error messages only.
std::variant<Script, ScriptError> parse_script(std::string_view text, std::string_view name,
                                               Format format = Format::Script);

// Reads and parses a file, a line at a time.
std::variant<Script, ScriptError> load_script(const std::string& path, Format format = Format::Script);

}  // namespace mirvane::sim
