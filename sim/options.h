#pragma once
// The simulator's command line.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "sim/script.h"

namespace mirvane::sim {

// What --script or --replay names: a file, or a shipped scenario's bare name.
struct Playback {
    Format format;  // a script, or a capture
    std::string path;
};

struct Options {
    // Start no program: print the two device paths and serve until stopped.
    bool serve = false;
    // The program to start with the two lines; empty means mirvane beside the simulator.
    std::vector<std::string> command;
    std::optional<Playback> played;
    bool answers = true;
    // Reception-level changes between calls; when unset, on unless a script is played
    // (a script replays a session exactly). Never during a replay.
    std::optional<bool> levels;
    bool full_speed = false;
    // A replayed capture's pauses longer than this are played as this.
    std::chrono::milliseconds max_gap = kLongestDelay;
    std::optional<std::uint32_t> seed;
    bool trace = false;

    bool levels_on() const {
        if (played && played->format == Format::Capture) return false;
        return levels.value_or(!played);
    }
};

struct ShowHelp {};
struct ShowVersion {};

struct OptionError {
    std::string message;
};

// Parses the arguments after the program name.
std::variant<Options, ShowHelp, ShowVersion, OptionError> parse_options(const std::vector<std::string>& args);

// The text of --help; scenario_folders are where bare names of scenarios are looked for.
std::string usage_text(const std::vector<std::string>& scenario_folders);

}  // namespace mirvane::sim
