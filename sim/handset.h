#pragma once
// The simulated handset: what it answers to each command code, and what it believes about
// the call from everything it has said. No clock, no port: the simulator feeds it bytes.

#include <cstdint>
#include <random>
#include <span>
#include <vector>

namespace mirvane::sim {

enum class CallState : std::uint8_t {
    Idle,     // receiver down, nothing ringing: between calls
    Ringing,  // an incoming call is being indicated
    InCall,   // receiver up
};

// One row of the answer table: a range of command codes, the call state it applies in, and
// the status bytes that go back. The rows are held in matching order; the first row that
// fits the command and the state wins. A command without a row is taken silently.
struct AnswerRow {
    std::uint8_t first;
    std::uint8_t last;
    bool only_while_ringing;
    bool echo;  // the command code itself comes back first (dial digits)
    std::span<const std::uint8_t> reply;
};

class Handset {
public:
    explicit Handset(std::uint8_t level = 9) : level_(level) {}

    // The status bytes that answer one command code from the host; empty for none.
    std::vector<std::uint8_t> hear(std::uint8_t command) const;

    // Follows every status byte the handset puts on the line, answers and script alike,
    // so that its idea of the call is what the host has been told. Parameter bytes of a
    // collected message are skipped, as the host's decoder skips them.
    void say(std::uint8_t status);
    void say(std::span<const std::uint8_t> statuses) {
        for (std::uint8_t b : statuses) say(b);
    }

    CallState call_state() const { return call_state_; }
    bool between_calls() const { return call_state_ == CallState::Idle && parameters_ == 0; }
    std::uint8_t level() const { return level_; }

    // A new reception level, one or two steps from the last one reported and always
    // different from it (the host logs only changes), as its status code.
    std::uint8_t drift_level(std::mt19937& random) const;

private:
    CallState call_state_ = CallState::Idle;
    std::uint8_t level_;
    std::uint8_t parameters_ = 0;  // bytes still to skip of a collected message
};

}  // namespace mirvane::sim
