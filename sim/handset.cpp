#include "sim/handset.h"

#include <array>

#include "vocabulary/command_codes.h"
#include "vocabulary/status_catalogue.h"

namespace mirvane::sim {

namespace {

namespace cc = command_code;
namespace sc = status_code;

// Lifting the receiver while it rings answers the call: the indication and the ringing
// tone stop and the call is on.
constexpr std::array<std::uint8_t, 3> kAnswerCall{sc::kIncomingCallOff, sc::kToneOff, sc::kInCallOn};
constexpr std::array<std::uint8_t, 2> kLift{sc::kInCallOn, sc::kDialTone};
constexpr std::array<std::uint8_t, 1> kDialled{sc::kDialComplete};
constexpr std::array<std::uint8_t, 3> kPutDown{sc::kToneOff, sc::kInCallOff, sc::kStandby};
constexpr std::array<std::uint8_t, 0> kNothing{};

const std::array kAnswers{
    AnswerRow{cc::kOffHook, cc::kOffHook, true, false, kAnswerCall},
    AnswerRow{cc::kOffHook, cc::kOffHook, false, false, kLift},
    AnswerRow{cc::kDialBase, cc::kDialLast, false, true, kNothing},
    AnswerRow{cc::kDialComplete, cc::kDialComplete, false, false, kDialled},
    AnswerRow{cc::kOnHook, cc::kOnHook, false, false, kPutDown},
    // The caller-number setting changes nothing the host can see.
    AnswerRow{cc::kCallerNumberHidden, cc::kCallerNumberShown, false, false, kNothing},
};

constexpr int kLevelMax = 15;

}  // namespace

std::vector<std::uint8_t> Handset::hear(std::uint8_t command) const {
    for (const AnswerRow& row : kAnswers) {
        if (command < row.first || command > row.last) continue;
        if (row.only_while_ringing && call_state_ != CallState::Ringing) continue;
        std::vector<std::uint8_t> reply;
        if (row.echo) reply.push_back(command);
        reply.insert(reply.end(), row.reply.begin(), row.reply.end());
        return reply;
    }
    return {};
}

void Handset::say(std::uint8_t status) {
    if (parameters_ > 0) {
        --parameters_;
        return;
    }
    if (const StatusRow* row = find_status_row(status)) {
        if (row->kind == StatusKind::Collected || row->kind == StatusKind::ToneMacro) {
            parameters_ = row->parameters;
        }
    }
    switch (status) {
        case sc::kIncomingCallOn:
            if (call_state_ == CallState::Idle) call_state_ = CallState::Ringing;
            break;
        case sc::kIncomingCallOff:
            if (call_state_ == CallState::Ringing) call_state_ = CallState::Idle;
            break;
        case sc::kInCallOn: call_state_ = CallState::InCall; break;
        case sc::kInCallOff:
        case sc::kStandby: call_state_ = CallState::Idle; break;
        default:
            if (status >= sc::kLevelBase && status <= sc::kLevelBase + kLevelMax) {
                level_ = status - sc::kLevelBase;
            }
            break;
    }
}

std::uint8_t Handset::drift_level(std::mt19937& random) const {
    std::uniform_int_distribution<int> step(1, 2);
    std::bernoulli_distribution down(0.5);
    const int change = down(random) ? -step(random) : step(random);
    int next = level_ + change;
    // Off the end of the scale the step goes the other way, so the walk never sticks
    // there and never repeats a level.
    if (next < 0 || next > kLevelMax) next = level_ - change;
    return static_cast<std::uint8_t>(sc::kLevelBase + next);
}

}  // namespace mirvane::sim
