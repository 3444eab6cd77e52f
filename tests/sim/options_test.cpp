// The simulator's command line: what each spelling means, and what is refused.

#include <gtest/gtest.h>

#include "sim/options.h"

namespace mirvane::sim {
namespace {

using Args = std::vector<std::string>;

Options parsed(const Args& args) {
    auto result = parse_options(args);
    if (const auto* error = std::get_if<OptionError>(&result)) {
        ADD_FAILURE() << "refused: " << error->message;
        return {};
    }
    EXPECT_TRUE(std::holds_alternative<Options>(result));
    return std::get_if<Options>(&result) ? std::get<Options>(result) : Options{};
}

std::string refusal(const Args& args) {
    auto result = parse_options(args);
    if (const auto* error = std::get_if<OptionError>(&result)) return error->message;
    ADD_FAILURE() << "accepted";
    return {};
}

TEST(Options, no_arguments_start_mirvane_with_answers_levels_and_line_speed) {
    const Options o = parsed({});
    EXPECT_FALSE(o.serve);
    EXPECT_TRUE(o.command.empty()) << "empty means the mirvane beside the simulator";
    EXPECT_TRUE(o.answers);
    EXPECT_TRUE(o.levels_on());
    EXPECT_FALSE(o.full_speed);
    EXPECT_FALSE(o.script_path);
    EXPECT_FALSE(o.seed);
    EXPECT_FALSE(o.trace);
}

TEST(Options, each_switch_sets_its_own_setting) {
    const Options o = parsed({"--serve", "--full-speed", "--no-answers", "--trace", "--seed", "42"});
    EXPECT_TRUE(o.serve);
    EXPECT_TRUE(o.full_speed);
    EXPECT_FALSE(o.answers);
    EXPECT_TRUE(o.trace);
    EXPECT_EQ(o.seed, 42u);
}

TEST(Options, a_script_turns_levels_off_unless_asked_for) {
    EXPECT_FALSE(parsed({"--script", "a.txt"}).levels_on()) << "a script replays exactly";
    EXPECT_TRUE(parsed({"--script", "a.txt", "--levels"}).levels_on());
    EXPECT_FALSE(parsed({"--no-levels"}).levels_on());
    EXPECT_TRUE(parsed({"--no-levels", "--levels"}).levels_on()) << "the last word counts";
}

TEST(Options, values_come_after_a_space_or_an_equals_sign) {
    EXPECT_EQ(parsed({"--script", "calls/in.txt"}).script_path, "calls/in.txt");
    EXPECT_EQ(parsed({"--script=calls/in.txt"}).script_path, "calls/in.txt");
    EXPECT_EQ(parsed({"--seed=7"}).seed, 7u);
    EXPECT_EQ(parsed({"--seed", "4294967295"}).seed, 4294967295u);
}

TEST(Options, the_command_starts_at_the_first_word_that_is_no_option) {
    const Options o = parsed({"--full-speed", "./far-side", "--trace", "-x"});
    EXPECT_EQ(o.command, (Args{"./far-side", "--trace", "-x"}));
    EXPECT_FALSE(o.trace) << "options after the command are the command's";
}

TEST(Options, a_double_dash_ends_the_options) {
    EXPECT_EQ(parsed({"--", "--odd-name", "a"}).command, (Args{"--odd-name", "a"}));
    EXPECT_EQ(parsed({"--trace", "--"}).command, Args{});
}

TEST(Options, help_is_asked_for_with_either_spelling) {
    EXPECT_TRUE(std::holds_alternative<ShowHelp>(parse_options({"--help"})));
    EXPECT_TRUE(std::holds_alternative<ShowHelp>(parse_options({"--serve", "-h"})));
    EXPECT_TRUE(std::holds_alternative<Options>(parse_options({"prog", "--help"})))
        << "a --help after the command is the command's";
}

struct Refusal {
    Args args;
    const char* message;
};

class ARefusedCommandLine : public ::testing::TestWithParam<Refusal> {};

TEST_P(ARefusedCommandLine, says_what_is_wrong) {
    EXPECT_EQ(refusal(GetParam().args), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Options, ARefusedCommandLine,
    ::testing::Values(
        Refusal{{"--sreve"}, "unknown option '--sreve'"},
        Refusal{{"-s"}, "unknown option '-s'"},
        Refusal{{"--script"}, "--script needs a file name"},
        Refusal{{"--script="}, "--script needs a file name"},
        Refusal{{"--seed"}, "--seed needs a number"},
        Refusal{{"--seed", "x1"}, "--seed needs a number from 0 to 4294967295, not 'x1'"},
        Refusal{{"--seed", "-1"}, "--seed needs a number from 0 to 4294967295, not '-1'"},
        Refusal{{"--seed=4294967296"}, "--seed needs a number from 0 to 4294967295, not '4294967296'"},
        Refusal{{"--seed="}, "--seed needs a number from 0 to 4294967295, not ''"},
        Refusal{{"--serve", "mirvane"}, "--serve starts no program, but a command was given: 'mirvane'"}));

TEST(Options, the_help_text_names_every_option) {
    const std::string help = usage_text();
    for (const char* option : {"--serve", "--script", "--no-answers", "--levels", "--no-levels",
                               "--seed", "--full-speed", "--trace", "--help", "MIRVANE_PORT1",
                               "MIRVANE_PORT2"}) {
        EXPECT_NE(help.find(option), std::string::npos) << option;
    }
}

}  // namespace
}  // namespace mirvane::sim
