#pragma once
// A simulator serving real pseudo-terminal pairs on a thread of its own, for tests that
// play the program's side of the lines.

#include <unistd.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <thread>

#include "sim/simulator.h"

namespace mirvane::sim::testing {

// Settings for tests: full speed, no level reports, unless a test asks otherwise.
inline SimulatorSettings quick_settings() {
    SimulatorSettings settings;
    settings.full_speed = true;
    settings.levels = false;
    return settings;
}

class RunningSimulator {
public:
    explicit RunningSimulator(SimulatorSettings settings = quick_settings()) {
        auto terminal = open_pty_line();
        auto monitor = open_pty_line();
        if (!std::holds_alternative<PtyLine>(terminal) || !std::holds_alternative<PtyLine>(monitor)) {
            throw std::runtime_error("no pseudo-terminal");
        }
        simulator_.emplace(std::get<PtyLine>(std::move(terminal)),
                           std::get<PtyLine>(std::move(monitor)), std::move(settings));
        if (::pipe(stop_) != 0) throw std::runtime_error("no pipe");
        thread_ = std::thread([this] { failure_ = simulator_->serve_until(stop_[0]); });
    }
    ~RunningSimulator() {
        stop();
        ::close(stop_[0]);
        ::close(stop_[1]);
    }
    RunningSimulator(const RunningSimulator&) = delete;
    RunningSimulator& operator=(const RunningSimulator&) = delete;

    const std::string& terminal_path() const { return simulator_->terminal_path(); }
    const std::string& monitor_path() const { return simulator_->monitor_path(); }

    // Stops the loop; afterwards traffic(), handset() and failure() may be read. The lines
    // stay until the simulator is destroyed: what was said is still there to be read.
    void stop() {
        if (!thread_.joinable()) return;
        const char byte = 0;
        [[maybe_unused]] const ssize_t n = ::write(stop_[1], &byte, 1);
        thread_.join();
    }
    const Traffic& traffic() const { return simulator_->traffic(); }
    const Handset& handset() const { return simulator_->handset(); }
    const std::optional<std::string>& failure() const { return failure_; }

private:
    std::optional<Simulator> simulator_;
    int stop_[2] = {-1, -1};
    std::thread thread_;
    std::optional<std::string> failure_;
};

}  // namespace mirvane::sim::testing
