#pragma once
// The simulator's command line. Mirvane itself has none; this one is small.

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace mirvane::sim {

struct Options {
    // Start no program: print the two device paths and serve until stopped.
    bool serve = false;
    // The program to start with the two lines; empty means mirvane beside the simulator.
    std::vector<std::string> command;
    std::optional<std::string> script_path;
    bool answers = true;
    // Reception-level changes between calls; when unset, on unless a script is played
    // (a script replays a session exactly).
    std::optional<bool> levels;
    bool full_speed = false;
    std::optional<std::uint32_t> seed;
    bool trace = false;

    bool levels_on() const { return levels.value_or(!script_path.has_value()); }
};

struct ShowHelp {};

struct OptionError {
    std::string message;
};

// Parses the arguments after the program name.
std::variant<Options, ShowHelp, OptionError> parse_options(const std::vector<std::string>& args);

// The text of --help.
std::string usage_text();

}  // namespace mirvane::sim
