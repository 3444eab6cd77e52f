// Scenario scripts: what a script says, the message a bad one gets, and the scenarios
// that ship with the simulator.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "decode/status_catalogue.h"
#include "sim/script.h"

namespace mirvane::sim {
namespace {

// A parsed script in one line: "MS BYTES @LINE" for each step, or the error message.
std::string parsed(const char* text) {
    const auto result = parse_script(text, "calls/in.txt");
    if (const auto* error = std::get_if<ScriptError>(&result)) return error->message;
    std::string s;
    for (const ScriptStep& step : std::get<Script>(result).steps) {
        s += (s.empty() ? "" : " | ") + std::to_string(step.at.count());
        for (const std::uint8_t b : step.bytes) {
            char hex[4];
            std::snprintf(hex, sizeof hex, " %02X", b);
            s += hex;
        }
        s += " @" + std::to_string(step.line);
    }
    return s;
}

TEST(Scripts, a_script_gives_its_steps_at_their_times_or_names_the_file_and_line_at_fault) {
    const std::pair<const char*, const char*> cases[] = {
        // delays add up from the step before
        {"+500 A5 22\n+0 AD 30 33 31 32\n+1500 A4\n", "500 A5 22 @1 | 500 AD 30 33 31 32 @2 | 2000 A4 @3"},
        // comments and blank lines are skipped but counted
        {"# an incoming call\n\n+100 A5   # indication\n   \n+100 22\n", "100 A5 @3 | 200 22 @5"},
        {"+10\tc3\taf\r\n+20 ff 00\r\n", "10 C3 AF @1 | 30 FF 00 @2"},
        {"+1000\n+0 20\n", "1000 @1 | 1000 20 @2"},  // a pause alone moves the clock
        {"+5 A7", "5 A7 @1"},                        // no line end on the last line
        {"+3600000 AF", "3600000 AF @1"},            // the longest delay
        {"# nothing\n", ""},
        {"+0 A5\n\n+10 A5 G5\n", "calls/in.txt:3: 'G5' is not a hex byte (two hex digits, 00 to FF)"},
        {"+0 A\n", "calls/in.txt:1: 'A' is not a hex byte (two hex digits, 00 to FF)"},
        {"A5 22\n", "calls/in.txt:1: a step starts with +DELAY in milliseconds, not 'A5'"},
        {"# x\n+ A5\n", "calls/in.txt:2: '+' is not a delay (+0 to +3600000 ms)"},
        {"+5s A5\n", "calls/in.txt:1: '+5s' is not a delay in milliseconds"},
        {"+3600001 A5\n", "calls/in.txt:1: '+3600001' is longer than the longest delay, +3600000 ms"},
        {"+999999999999 A5\n", "calls/in.txt:1: '+999999999999' is not a delay (+0 to +3600000 ms)"},
    };
    for (const auto& [text, want] : cases) EXPECT_EQ(parsed(text), want) << "for: " << text;
}

// Mirvane ignores a status byte without a catalogue row, so a typo in a scenario would
// pass unseen; and a collected message cut at the end of a step could take a level report
// as its parameter. Each step must say whole, known messages.
TEST(Scripts, each_shipped_scenario_says_whole_messages_of_the_catalogue) {
    int scenarios = 0;
    for (const auto& entry : std::filesystem::directory_iterator(MIRVANE_SCENARIOS)) {
        if (entry.path().extension() != ".txt") continue;
        ++scenarios;
        const std::string path = entry.path().string();
        const auto loaded = load_script(path);
        ASSERT_TRUE(std::holds_alternative<Script>(loaded)) << std::get<ScriptError>(loaded).message;
        EXPECT_FALSE(std::get<Script>(loaded).steps.empty()) << path;
        for (const ScriptStep& step : std::get<Script>(loaded).steps) {
            int parameters = 0;
            for (const std::uint8_t b : step.bytes) {
                if (parameters > 0) {
                    --parameters;
                    continue;
                }
                const StatusRow* row = find_status_row(b);
                EXPECT_NE(row, nullptr) << path << ":" << step.line << ": " << std::hex << int(b);
                if (row != nullptr) parameters = row->parameters;
            }
            EXPECT_EQ(parameters, 0) << path << ":" << step.line << ": a message is cut short";
        }
    }
    EXPECT_GE(scenarios, 3);
}

}  // namespace
}  // namespace mirvane::sim
