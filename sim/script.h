#pragma once
// Scenario scripts: timed hex bytes the handset puts on the terminal line, so that a
// session can be played again exactly.
//
//   # comment                 a line or the rest of a line
//   +500 A5 22                500 ms after the step before, send A5 then 22
//   +0   AD 30 33 31 32       at once after it
//   +2000                     a pause alone
//
// A delay counts from the time of the step before (the first from the start of the
// script); the bytes of a step then leave at the line's pace, behind any still queued.

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace mirvane::sim {

struct ScriptStep {
    std::chrono::milliseconds at;  // from the start of the script
    std::vector<std::uint8_t> bytes;
    int line;  // in the script file, for messages
};

struct Script {
    std::string name;  // the file it came from
    std::vector<ScriptStep> steps;
};

// What went wrong and where, ready to print: "file:line: what".
struct ScriptError {
    std::string message;
};

// The longest delay one step may ask for: an hour is far beyond any test session, and a
// bound keeps the running total from overflowing.
inline constexpr std::chrono::milliseconds kLongestDelay{3'600'000};

// Parses script text; name is used in error messages only.
std::variant<Script, ScriptError> parse_script(std::string_view text, std::string_view name);

// Reads and parses a script file.
std::variant<Script, ScriptError> load_script(const std::string& path);

}  // namespace mirvane::sim
