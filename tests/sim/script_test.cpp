// Scenario scripts: what a script says, and the message a bad one gets.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "decode/status_catalogue.h"
#include "sim/script.h"

namespace mirvane::sim {
namespace {

using std::chrono::milliseconds;

struct StepExpect {
    long at_ms;
    std::vector<std::uint8_t> bytes;
    int line;
};

struct GoodCase {
    const char* what;
    const char* text;
    std::vector<StepExpect> steps;
};

class AGoodScript : public ::testing::TestWithParam<GoodCase> {};

TEST_P(AGoodScript, gives_its_steps_at_their_times) {
    const GoodCase& c = GetParam();
    const auto parsed = parse_script(c.text, "s.txt");
    ASSERT_TRUE(std::holds_alternative<Script>(parsed)) << std::get<ScriptError>(parsed).message;
    const Script& script = std::get<Script>(parsed);
    ASSERT_EQ(script.steps.size(), c.steps.size());
    for (std::size_t i = 0; i < c.steps.size(); ++i) {
        EXPECT_EQ(script.steps[i].at, milliseconds(c.steps[i].at_ms)) << "step " << i;
        EXPECT_EQ(script.steps[i].bytes, c.steps[i].bytes) << "step " << i;
        EXPECT_EQ(script.steps[i].line, c.steps[i].line) << "step " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, AGoodScript,
    ::testing::Values(
        GoodCase{"delays add up from the step before",
                 "+500 A5 22\n+0 AD 30 33 31 32\n+1500 A4\n",
                 {{500, {0xA5, 0x22}, 1}, {500, {0xAD, 0x30, 0x33, 0x31, 0x32}, 2}, {2000, {0xA4}, 3}}},
        GoodCase{"comments and blank lines are skipped but counted",
                 "# an incoming call\n\n+100 A5   # indication\n   \n+100 22\n",
                 {{100, {0xA5}, 3}, {200, {0x22}, 5}}},
        GoodCase{"lower-case hex, tabs and CRLF line ends are read",
                 "+10\tc3\taf\r\n+20 ff 00\r\n",
                 {{10, {0xC3, 0xAF}, 1}, {30, {0xFF, 0x00}, 2}}},
        GoodCase{"a delay alone is a pause that moves the clock",
                 "+1000\n+0 20\n",
                 {{1000, {}, 1}, {1000, {0x20}, 2}}},
        GoodCase{"a last line without a line end counts", "+5 A7", {{5, {0xA7}, 1}}},
        GoodCase{"the longest delay is allowed", "+3600000 AF", {{3'600'000, {0xAF}, 1}}},
        GoodCase{"an empty script has no steps", "# nothing\n", {}}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& ch : name) if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return name;
    });

struct BadCase {
    const char* what;
    const char* text;
    const char* message;  // the whole message, file and line first
};

class ABadScript : public ::testing::TestWithParam<BadCase> {};

TEST_P(ABadScript, is_refused_naming_the_file_and_line) {
    const BadCase& c = GetParam();
    const auto parsed = parse_script(c.text, "calls/in.txt");
    ASSERT_TRUE(std::holds_alternative<ScriptError>(parsed));
    EXPECT_EQ(std::get<ScriptError>(parsed).message, c.message);
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, ABadScript,
    ::testing::Values(
        BadCase{"a byte that is not hex", "+0 A5\n\n+10 A5 G5\n",
                "calls/in.txt:3: 'G5' is not a hex byte (two hex digits, 00 to FF)"},
        BadCase{"one hex digit", "+0 A\n",
                "calls/in.txt:1: 'A' is not a hex byte (two hex digits, 00 to FF)"},
        BadCase{"three hex digits", "+0 A55\n",
                "calls/in.txt:1: 'A55' is not a hex byte (two hex digits, 00 to FF)"},
        BadCase{"a C-style byte", "+0 0xA5\n",
                "calls/in.txt:1: '0xA5' is not a hex byte (two hex digits, 00 to FF)"},
        BadCase{"a step without a delay", "A5 22\n",
                "calls/in.txt:1: a step starts with +DELAY in milliseconds, not 'A5'"},
        BadCase{"a delay without digits", "# x\n+ A5\n",
                "calls/in.txt:2: '+' is not a delay (+0 to +3600000 ms)"},
        BadCase{"a delay with a unit", "+5s A5\n",
                "calls/in.txt:1: '+5s' is not a delay in milliseconds"},
        BadCase{"a negative delay", "+-5 A5\n",
                "calls/in.txt:1: '+-5' is not a delay in milliseconds"},
        BadCase{"a delay beyond an hour", "+3600001 A5\n",
                "calls/in.txt:1: '+3600001' is longer than the longest delay, +3600000 ms"},
        BadCase{"a delay too long to count", "+999999999999 A5\n",
                "calls/in.txt:1: '+999999999999' is not a delay (+0 to +3600000 ms)"}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& ch : name) if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return name;
    });

TEST(ScriptFile, an_unreadable_file_is_named_with_the_reason) {
    const auto loaded = load_script("/nonexistent/calls.txt");
    ASSERT_TRUE(std::holds_alternative<ScriptError>(loaded));
    EXPECT_EQ(std::get<ScriptError>(loaded).message,
              "/nonexistent/calls.txt: cannot read the script: No such file or directory");
}

TEST(ScriptFile, a_folder_is_not_a_script) {
    const auto loaded = load_script("/tmp");
    ASSERT_TRUE(std::holds_alternative<ScriptError>(loaded));
    EXPECT_EQ(std::get<ScriptError>(loaded).message, "/tmp: cannot read the script: Is a directory");
}

TEST(ScriptFile, a_file_is_read_whole_and_its_errors_carry_its_path) {
    char path[] = "/tmp/mirvane-sim-script-XXXXXX";
    const int fd = ::mkstemp(path);
    ASSERT_GE(fd, 0);
    ::close(fd);
    {
        std::ofstream out(path);
        out << "+100 A5\n+0 22 zz\n";
    }
    const auto loaded = load_script(path);
    ::unlink(path);
    ASSERT_TRUE(std::holds_alternative<ScriptError>(loaded));
    EXPECT_EQ(std::get<ScriptError>(loaded).message,
              std::string(path) + ":2: 'zz' is not a hex byte (two hex digits, 00 to FF)");
}

}  // namespace
}  // namespace mirvane::sim

namespace mirvane::sim {
namespace {

std::vector<std::string> shipped_scenarios() {
    std::vector<std::string> paths;
    for (const auto& entry : std::filesystem::directory_iterator(MIRVANE_SCENARIOS)) {
        if (entry.path().extension() == ".txt") paths.push_back(entry.path().string());
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

TEST(ShippedScenarios, there_are_some) { EXPECT_GE(shipped_scenarios().size(), 3u); }

// Mirvane ignores a status byte without a catalogue row, so a typo in a scenario would
// pass unseen; and a collected message cut at the end of a step could take a level report
// as its parameter. Each step must say whole, known messages.
TEST(ShippedScenarios, each_step_says_whole_messages_of_the_catalogue) {
    for (const std::string& path : shipped_scenarios()) {
        const auto loaded = load_script(path);
        ASSERT_TRUE(std::holds_alternative<Script>(loaded)) << std::get<ScriptError>(loaded).message;
        const Script& script = std::get<Script>(loaded);
        EXPECT_FALSE(script.steps.empty()) << path;
        for (const ScriptStep& step : script.steps) {
            int parameters = 0;
            for (const std::uint8_t b : step.bytes) {
                if (parameters > 0) {
                    --parameters;
                    continue;
                }
                const StatusRow* row = find_status_row(b);
                EXPECT_NE(row, nullptr) << path << ":" << step.line << ": " << std::hex << int(b)
                                        << " has no row";
                if (row != nullptr && row->parameters > 0) parameters = row->parameters;
            }
            EXPECT_EQ(parameters, 0) << path << ":" << step.line << ": a message is cut short";
        }
    }
}

}  // namespace
}  // namespace mirvane::sim
