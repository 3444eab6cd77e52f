#pragma once
// Plays a script or a capture: each step falls due at its time, counted from the moment
// the terminal line first comes up. What a due step does on the lines is the simulator's.

#include <cstddef>
#include <optional>
#include <utility>

#include "sim/paced_line.h"
#include "sim/script.h"

namespace mirvane::sim {

class Player {
public:
    explicit Player(Script script) : script_(std::move(script)) {}

    Format format() const { return script_.format; }

    // The steps count from the first start; the line coming up again changes nothing.
    void start(Clock::time_point now) {
        if (!start_) start_ = now;
    }

    // The next step, once its time has come by now (or at once, with on_time false);
    // nothing before the start or after the last step.
    const ScriptStep* due(Clock::time_point now, bool on_time = true) const {
        if (!start_ || next_ == script_.steps.size()) return nullptr;
        const ScriptStep& step = script_.steps[next_];
        return !on_time || *start_ + step.at <= now ? &step : nullptr;
    }

    // The step due has been played; the one after it is next.
    void played() { ++next_; }
    bool finished() const { return next_ == script_.steps.size(); }

    // When the next step falls due, if one is still to come.
    std::optional<Clock::time_point> next_time() const {
        if (!start_ || next_ == script_.steps.size()) return std::nullopt;
        return *start_ + script_.steps[next_].at;
    }

private:
    Script script_;
    std::optional<Clock::time_point> start_;
    std::size_t next_ = 0;
};

}  // namespace mirvane::sim
