// The simulated handset: its answer to each command in each call state, what it learns
// from what it says, the levels it drifts through, and how the host's own decoder reads
// its answers.

#include <gtest/gtest.h>

#include <set>

#include "decode/status_catalogue.h"
#include "sim/handset.h"
#include "support/bench.h"

namespace mirvane::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct AnswerCase {
    const char* what;
    Bytes said_before;  // puts the handset into its state
    std::uint8_t command;
    Bytes answer;
};

class TheHandset : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(TheHandset, answers_a_command_as_a_handset_would) {
    const AnswerCase& c = GetParam();
    Handset handset;
    handset.say(c.said_before);
    EXPECT_EQ(handset.hear(c.command), c.answer);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, TheHandset,
    ::testing::Values(
        AnswerCase{"lifting gives in call on and a dial tone", {}, 0xA7, {0xA7, 0x21}},
        AnswerCase{"lifting while it rings answers the call", {0xA5, 0x22}, 0xA7, {0xA4, 0x20, 0xA7}},
        AnswerCase{"lifting after the ringing stopped is a new call", {0xA5, 0x22, 0xA4, 0x20}, 0xA7,
                   {0xA7, 0x21}},
        AnswerCase{"a digit comes back as its digit status", {0xA7, 0x21}, 0x95, {0x95}},
        AnswerCase{"D is dial code 90 and comes back as 90", {0xA7}, 0x90, {0x90}},
        AnswerCase{"dial complete gives dial complete", {0xA7, 0x21, 0x91}, 0x86, {0xAA}},
        AnswerCase{"putting down gives tone off, in call off and standby", {0xA7, 0x21}, 0xA6,
                   {0x20, 0xA6, 0xAF}},
        AnswerCase{"caller number shown is taken silently", {0xA7, 0x21}, 0xEB, {}},
        AnswerCase{"caller number hidden is taken silently", {}, 0xEA, {}},
        AnswerCase{"an unknown command is taken silently", {}, 0x00, {}},
        AnswerCase{"a status code sent as a command is taken silently", {}, 0xAF, {}},
        AnswerCase{"the last byte value is taken silently", {}, 0xFF, {}}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& ch : name) if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return name;
    });

TEST(Answers, every_dial_code_comes_back_unchanged) {
    Handset handset;
    handset.say(std::vector<std::uint8_t>{0xA7, 0x21});
    for (int code = 0x90; code <= 0x9F; ++code) {
        EXPECT_EQ(handset.hear(static_cast<std::uint8_t>(code)), Bytes{static_cast<std::uint8_t>(code)})
            << std::hex << code;
    }
    EXPECT_EQ(handset.hear(0x8F), Bytes{});
    EXPECT_EQ(handset.hear(0xA0), Bytes{});
}

TEST(Answers, every_byte_the_handset_answers_with_is_in_the_status_catalogue) {
    for (const AnswerRow& row : answer_table()) {
        for (const std::uint8_t status : row.reply) {
            EXPECT_NE(find_status_row(status), nullptr) << std::hex << int(status);
        }
        if (row.echo) {
            for (int code = row.first; code <= row.last; ++code) {
                const StatusRow* echoed = find_status_row(static_cast<std::uint8_t>(code));
                ASSERT_NE(echoed, nullptr);
                EXPECT_EQ(echoed->kind, StatusKind::Digit) << "an echo is a digit status";
            }
        }
    }
}

struct NamedCode {
    std::uint8_t code;
    std::u16string_view meaning;  // the catalogue's text; empty for rows built from the code
    StatusKind kind;
};

TEST(Answers, the_handsets_names_for_status_codes_are_the_catalogues_meanings) {
    namespace sc = status_code;
    const NamedCode named[] = {
        {sc::kToneOff, u"", StatusKind::Tone},
        {sc::kDialTone, u"", StatusKind::Tone},
        {sc::kRingingTone, u"", StatusKind::Tone},
        {sc::kIncomingCallOff, u"着信表示OFF", StatusKind::OneByte},
        {sc::kIncomingCallOn, u"着信表示ON", StatusKind::OneByte},
        {sc::kInCallOff, u"通話中表示OFF", StatusKind::OneByte},
        {sc::kInCallOn, u"通話中表示ON", StatusKind::OneByte},
        {sc::kDialComplete, u"ダイヤル完了", StatusKind::OneByte},
        {sc::kStandby, u"待受", StatusKind::OneByte},
        {sc::kLevelBase, u"", StatusKind::Level},
    };
    for (const NamedCode& n : named) {
        const StatusRow* row = find_status_row(n.code);
        ASSERT_NE(row, nullptr) << std::hex << int(n.code);
        EXPECT_EQ(row->kind, n.kind) << std::hex << int(n.code);
        EXPECT_TRUE(row->meaning == n.meaning) << std::hex << int(n.code);
    }
    // The tone kinds by their place in the tone table: 0 off, 1 dial tone, 2 ringing.
    EXPECT_EQ(sc::kDialTone - sc::kToneOff, 1);
    EXPECT_EQ(sc::kRingingTone - sc::kToneOff, 2);
}

struct StateCase {
    const char* what;
    Bytes said;
    CallState state;
    bool between_calls;
};

class WhatTheHandsetSaid : public ::testing::TestWithParam<StateCase> {};

TEST_P(WhatTheHandsetSaid, sets_its_idea_of_the_call) {
    Handset handset;
    handset.say(GetParam().said);
    EXPECT_EQ(handset.call_state(), GetParam().state);
    EXPECT_EQ(handset.between_calls(), GetParam().between_calls);
}

INSTANTIATE_TEST_SUITE_P(
    CallState, WhatTheHandsetSaid,
    ::testing::Values(
        StateCase{"nothing yet is between calls", {}, CallState::Idle, true},
        StateCase{"an incoming call indication rings", {0xA5}, CallState::Ringing, false},
        StateCase{"the indication off ends the ringing", {0xA5, 0x22, 0xA4, 0x20}, CallState::Idle, true},
        StateCase{"in call on is a call", {0xA7, 0x21}, CallState::InCall, false},
        StateCase{"in call off ends it", {0xA7, 0x21, 0x20, 0xA6}, CallState::Idle, true},
        StateCase{"standby ends it too", {0xA7, 0xAF}, CallState::Idle, true},
        StateCase{"an indication during a call does not ring", {0xA7, 0xA5}, CallState::InCall, false},
        StateCase{"a status code inside a collected message is a parameter",
                  {0xAD, 0xA5, 0xA7, 0x31, 0x32}, CallState::Idle, true},
        StateCase{"half a collected message is not between calls", {0xE7, 0x01}, CallState::Idle, false},
        StateCase{"the tone macro takes one parameter", {0x2F, 0xA7, 0xA5}, CallState::Ringing, false},
        StateCase{"cause display takes three", {0xE1, 0xA7, 0xA7, 0xA7}, CallState::Idle, true}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& ch : name) if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return name;
    });

TEST(Levels, the_handset_keeps_the_level_it_last_reported) {
    Handset handset;
    handset.say(std::vector<std::uint8_t>{0xC5, 0xC0});
    EXPECT_EQ(handset.level(), 0);
    handset.say(std::vector<std::uint8_t>{0x35, 0xCC, 0xCD, 0xCE, 0xCF});
    EXPECT_EQ(handset.level(), 0) << "levels inside a message are parameters";
    handset.say(0xCF);
    EXPECT_EQ(handset.level(), 15);
}

TEST(Levels, a_drift_moves_one_or_two_steps_and_never_off_the_scale) {
    std::mt19937 random(12345);
    for (int level = 0; level <= 15; ++level) {
        Handset handset(static_cast<std::uint8_t>(level));
        std::set<int> reached;
        for (int i = 0; i < 200; ++i) {
            const std::uint8_t code = handset.drift_level(random);
            ASSERT_GE(code, 0xC0);
            ASSERT_LE(code, 0xCF);
            const int next = code - 0xC0;
            EXPECT_NE(next, level) << "the host logs only a changed level";
            EXPECT_LE(std::abs(next - level), 2);
            reached.insert(next);
        }
        // Both ways where there is room, so the walk cannot stick at one end.
        if (level > 0) {
            EXPECT_LT(*reached.begin(), level);
        }
        if (level < 15) {
            EXPECT_GT(*reached.rbegin(), level);
        }
    }
}

TEST(Levels, the_same_seed_drifts_the_same_way) {
    std::mt19937 a(7);
    std::mt19937 b(7);
    Handset first;
    Handset second;
    for (int i = 0; i < 50; ++i) {
        const std::uint8_t x = first.drift_level(a);
        const std::uint8_t y = second.drift_level(b);
        ASSERT_EQ(x, y);
        first.say(x);
        second.say(y);
    }
}

// The host's own status decoder reads what the handset answers.
class HostDecoder : public ::testing::Test {
protected:
    void answer(std::uint8_t command) {
        const Bytes reply = handset.hear(command);
        handset.say(reply);
        bench.terminal.received.insert(bench.terminal.received.end(), reply.begin(), reply.end());
        bench.terminal.event = comm_event::kReceive;
        MSComm1_OnComm(bench.program);
    }

    Handset handset;
    mirvane::testing::Bench bench;
};

TEST_F(HostDecoder, logs_a_whole_outgoing_call_and_follows_the_tone) {
    answer(0xA7);
    EXPECT_EQ(bench.window.caption(Control::Label2), u"Tone　：　1");
    answer(0xEB);
    answer(0x91);
    answer(0x9A);
    answer(0x86);
    answer(0xA6);
    EXPECT_EQ(bench.window.caption(Control::Label2), u"Tone ： 0");
    EXPECT_EQ(bench.log_pane(),
              u"AF __ __ __ __ : [10:15:01] 待受\r\n"
              u"A6 __ __ __ __ : [10:15:01] 通話中表示OFF\r\n"
              u"20 __ __ __ __ : [10:15:01] トーン種別 [0:トーンOFF]\r\n"
              u"AA __ __ __ __ : [10:15:01] ダイヤル完了\r\n"
              u"9A __ __ __ __ : [10:15:01] ダイヤル [0]\r\n"
              u"91 __ __ __ __ : [10:15:01] ダイヤル [1]\r\n"
              u"21 __ __ __ __ : [10:15:01] トーン種別 [1:発信音]\r\n"
              u"A7 __ __ __ __ : [10:15:01] 通話中表示ON");
}

TEST_F(HostDecoder, logs_an_answered_incoming_call) {
    handset.say(std::vector<std::uint8_t>{0xA5, 0x22});
    bench.receive({0xA5, 0x22});
    EXPECT_EQ(bench.window.caption(Control::Label2), u"Tone　：　2");
    answer(0xA7);
    EXPECT_EQ(bench.window.caption(Control::Label2), u"Tone ： 0");
    EXPECT_EQ(bench.log_pane(),
              u"A7 __ __ __ __ : [10:15:01] 通話中表示ON\r\n"
              u"20 __ __ __ __ : [10:15:01] トーン種別 [0:トーンOFF]\r\n"
              u"A4 __ __ __ __ : [10:15:01] 着信表示OFF\r\n"
              u"22 __ __ __ __ : [10:15:01] トーン種別 [2:着信音]\r\n"
              u"A5 __ __ __ __ : [10:15:01] 着信表示ON");
}

}  // namespace
}  // namespace mirvane::sim
