#pragma once
// The simulator proper: two pty lines, the handset behind the terminal line, the tap that
// copies the host's bytes to the monitor line, the player of a script or a capture and
// the level reports, all driven by one poll loop.

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <random>
#include <string>

#include "sim/handset.h"
#include "sim/paced_line.h"
#include "sim/player.h"
#include "sim/pty.h"
#include "sim/script.h"

namespace mirvane::sim {

struct SimulatorSettings {
    bool full_speed = false;
    bool answers = true;
    bool levels = true;
    // A script the handset says, or a capture played back instead of the handset, which
    // then neither answers nor taps (the options also turn its level reports off).
    std::optional<Script> played;
    std::uint32_t seed = 1;
    std::FILE* trace = nullptr;  // every byte is reported here when set
    std::FILE* notes = stderr;   // what a replay passes over, and its end

    // The first level report follows the line coming up soon, so the host's level label
    // fills at once; later ones come now and then.
    Clock::duration first_level_after = std::chrono::seconds(1);
    Clock::duration level_every_min = std::chrono::seconds(2);
    Clock::duration level_every_max = std::chrono::seconds(6);
};

// What passed, for the trace summary and for tests.
struct Traffic {
    long heard = 0;            // bytes from the host on the terminal line
    long tapped = 0;           // of those, copied to the monitor line
    long spoken = 0;           // status bytes the handset put on the terminal line
    long replayed = 0;         // bytes of a capture written on either line
    long lost = 0;             // bytes sent while the far side did not listen
    long monitor_ignored = 0;  // bytes the host wrote on the monitor line, which carries none
    long skipped = 0;          // reads of a capture for a line the program did not open
};

class Simulator {
public:
    Simulator(PtyLine terminal, PtyLine monitor, SimulatorSettings settings);

    const std::string& terminal_path() const { return terminal_.path; }
    const std::string& monitor_path() const { return monitor_.path; }

    // Serves both lines until wake_fd becomes readable (its bytes are left for the caller,
    // who may call again). Returns a message when a line fails.
    std::optional<std::string> serve_until(int wake_fd);

    const Traffic& traffic() const { return traffic_; }
    const Handset& handset() const { return handset_; }

private:
    void watch_lines(Clock::time_point now);
    std::optional<std::string> read_host(Clock::time_point now);
    void hear_arrivals(Clock::time_point now);
    std::optional<std::string> play(Clock::time_point now);
    bool ready_for(const ScriptStep& read) const;
    std::optional<std::string> replay(const ScriptStep& read, Clock::time_point now);
    bool nobody_opened(const ScriptStep& read, Clock::time_point now) const;
    void note(const std::string& what) const;
    void report_level(Clock::time_point now);
    std::optional<std::string> deliver(Clock::time_point now);
    std::optional<Clock::time_point> next_event() const;

    bool replaying() const { return player_ && player_->format() == Format::Capture; }
    void speak(std::span<const std::uint8_t> bytes, Clock::time_point now);
    Clock::duration level_pause();
    void trace(Clock::time_point now, const char* what, std::span<const std::uint8_t> bytes);

    PtyLine terminal_;
    PtyLine monitor_;
    SimulatorSettings settings_;
    Handset handset_;
    PacedLine to_handset_;
    PacedLine to_host_;
    std::optional<Player> player_;
    std::mt19937 random_;
    Traffic traffic_;

    Clock::time_point started_;
    bool terminal_up_ = false;
    bool monitor_up_ = false;
    bool replay_held_ = false;  // a read is due, but the program has not taken the last one
    Clock::time_point terminal_up_at_;
    std::optional<Clock::time_point> next_level_;
};

}  // namespace mirvane::sim
