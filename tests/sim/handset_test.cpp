// The simulated handset: what it believes about the call from what it has said, how it
// answers each command in that state, and the levels it drifts through.

#include <gtest/gtest.h>

#include <set>

#include "sim/handset.h"

namespace mirvane::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Case {
    const char* what;
    Bytes said;  // by the handset, before the command
    CallState state;
    bool between_calls;
    std::uint8_t command;
    Bytes answer;
};

TEST(Handset, follows_the_call_from_what_it_said_and_answers_each_command_in_that_state) {
    constexpr auto Idle = CallState::Idle, Ringing = CallState::Ringing, InCall = CallState::InCall;
    const Case cases[] = {
        {"nothing said yet: lifting gives in call on and a dial tone", {}, Idle, true, 0xA7, {0xA7, 0x21}},
        {"an incoming call rings: lifting answers it", {0xA5, 0x22}, Ringing, false, 0xA7, {0xA4, 0x20, 0xA7}},
        {"the ringing stopped: lifting is a new call", {0xA5, 0x22, 0xA4, 0x20}, Idle, true, 0xA7, {0xA7, 0x21}},
        {"an indication during a call does not ring", {0xA7, 0xA5}, InCall, false, 0xA7, {0xA7, 0x21}},
        {"in call, the first dial code comes back", {0xA7, 0x21}, InCall, false, 0x90, {0x90}},
        {"the last dial code comes back", {0xA7}, InCall, false, 0x9F, {0x9F}},
        {"below the dial codes is silence", {0xA7}, InCall, false, 0x8F, {}},
        {"above them too", {0xA7}, InCall, false, 0xA0, {}},
        {"dial complete gives dial complete", {0xA7, 0x21, 0x91}, InCall, false, 0x86, {0xAA}},
        {"in call off ends the call: put down answers", {0xA7, 0x21, 0x20, 0xA6}, Idle, true, 0xA6,
         {0x20, 0xA6, 0xAF}},
        {"standby ends it too; caller number shown is silent", {0xA7, 0xAF}, Idle, true, 0xEB, {}},
        {"a status inside a collected message is a parameter", {0xAD, 0xA5, 0xA7, 0x31, 0x32}, Idle, true,
         0xA7, {0xA7, 0x21}},
        {"half a collected message is not between calls", {0xE7, 0x01}, Idle, false, 0xFF, {}},
        {"the tone macro takes one parameter", {0x2F, 0xA7, 0xA5}, Ringing, false, 0xA7, {0xA4, 0x20, 0xA7}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Handset handset;
        handset.say(c.said);
        EXPECT_EQ(handset.call_state(), c.state);
        EXPECT_EQ(handset.between_calls(), c.between_calls);
        EXPECT_EQ(handset.hear(c.command), c.answer);
    }
}

TEST(Handset, a_drift_is_a_new_level_one_or_two_steps_either_way_on_the_scale_and_repeats_by_seed) {
    for (int level = 0; level <= 15; ++level) {
        const Handset handset(static_cast<std::uint8_t>(level));
        std::mt19937 random(12345);
        std::mt19937 again(12345);
        std::set<int> reached;
        for (int i = 0; i < 200; ++i) {
            const int code = handset.drift_level(random);
            ASSERT_EQ(code, handset.drift_level(again)) << "the same seed drifts the same way";
            ASSERT_TRUE(code >= 0xC0 && code <= 0xCF) << std::hex << code;
            EXPECT_NE(code - 0xC0, level) << "the host logs only a changed level";
            EXPECT_LE(std::abs(code - 0xC0 - level), 2);
            reached.insert(code - 0xC0);
        }
        // Both ways where there is room, so the walk cannot stick at one end.
        EXPECT_TRUE(level == 0 || *reached.begin() < level);
        EXPECT_TRUE(level == 15 || *reached.rbegin() > level);
    }
}

}  // namespace
}  // namespace mirvane::sim
