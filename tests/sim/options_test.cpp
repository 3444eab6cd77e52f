// The simulator's command line: what each spelling means, and what is refused.

#include <gtest/gtest.h>

#include "sim/options.h"

namespace mirvane::sim {
namespace {

using Args = std::vector<std::string>;

// What a command line comes to, in one line: the settings that differ from a bare run,
// the command in brackets, "help", or the refusal.
std::string outcome(const Args& args) {
    const auto result = parse_options(args);
    if (std::holds_alternative<ShowHelp>(result)) return "help";
    if (const auto* error = std::get_if<OptionError>(&result)) return "refused: " + error->message;
    const Options& o = std::get<Options>(result);
    std::string s;
    const auto add = [&s](bool on, const std::string& word) {
        if (on) s += (s.empty() ? "" : " ") + word;
    };
    add(o.serve, "serve");
    add(!o.answers, "no-answers");
    add(!o.levels_on(), "no-levels");
    add(o.full_speed, "full-speed");
    add(o.trace, "trace");
    add(o.seed.has_value(), "seed=" + std::to_string(o.seed.value_or(0)));
    add(o.script_path.has_value(), "script=" + o.script_path.value_or(""));
    for (const std::string& word : o.command) add(true, "[" + word + "]");
    return s;
}

TEST(Options, each_command_line_comes_to_its_settings_or_says_what_is_wrong) {
    const std::pair<Args, std::string> cases[] = {
        {{}, ""},  // mirvane beside the simulator, answers, levels, line speed
        {{"--serve", "--full-speed", "--no-answers", "--trace", "--seed", "42"},
         "serve no-answers full-speed trace seed=42"},
        {{"--script", "a.txt"}, "no-levels script=a.txt"},  // a script replays exactly
        {{"--script=a.txt", "--levels"}, "script=a.txt"},
        {{"--no-levels"}, "no-levels"},
        {{"--no-levels", "--levels"}, ""},  // the last word counts
        {{"--seed=7"}, "seed=7"},
        {{"--seed", "4294967295"}, "seed=4294967295"},
        {{"--full-speed", "./far-side", "--trace", "-x"}, "full-speed [./far-side] [--trace] [-x]"},
        {{"--", "--odd-name", "a"}, "[--odd-name] [a]"},
        {{"--trace", "--"}, "trace"},
        {{"--help"}, "help"},
        {{"--serve", "-h"}, "help"},
        {{"prog", "--help"}, "[prog] [--help]"},
        {{"--sreve"}, "refused: unknown option '--sreve'"},
        {{"--script"}, "refused: --script needs a file name"},
        {{"--script="}, "refused: --script needs a file name"},
        {{"--seed"}, "refused: --seed needs a number"},
        {{"--seed", "x1"}, "refused: --seed needs a number from 0 to 4294967295, not 'x1'"},
        {{"--seed=4294967296"}, "refused: --seed needs a number from 0 to 4294967295, not '4294967296'"},
        {{"--seed="}, "refused: --seed needs a number from 0 to 4294967295, not ''"},
        {{"--serve", "mirvane"}, "refused: --serve starts no program, but a command was given: 'mirvane'"},
    };
    for (const auto& [args, want] : cases) {
        std::string line;
        for (const std::string& arg : args) line += arg + " ";
        EXPECT_EQ(outcome(args), want) << "for: " << line;
    }
}

}  // namespace
}  // namespace mirvane::sim
