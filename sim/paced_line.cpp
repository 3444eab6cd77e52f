#include "sim/paced_line.h"

#include <algorithm>

namespace mirvane::sim {

void PacedLine::send(std::uint8_t byte, Clock::time_point now) {
    const Clock::time_point start = std::max(now, free_at_);
    free_at_ = start + byte_time_;
    on_the_way_.push_back({free_at_, byte});
}

std::optional<Clock::time_point> PacedLine::next_arrival() const {
    if (on_the_way_.empty()) return std::nullopt;
    return on_the_way_.front().arrival;
}

std::vector<std::uint8_t> PacedLine::arrived(Clock::time_point now) {
    std::vector<std::uint8_t> bytes;
    while (!on_the_way_.empty() && on_the_way_.front().arrival <= now) {
        bytes.push_back(on_the_way_.front().byte);
        on_the_way_.pop_front();
    }
    return bytes;
}

}  // namespace mirvane::sim
