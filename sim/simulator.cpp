#include "sim/simulator.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <variant>
#include <vector>

namespace mirvane::sim {

namespace {

// How often an idle simulator looks whether the far side has opened or closed a line;
// a port's settings change without any byte to wake the poll.
constexpr auto kLineWatch = std::chrono::milliseconds(25);

// How often a held replay looks whether the program has taken in the last read; nothing
// wakes the poll when it does.
constexpr auto kReplayWatch = std::chrono::milliseconds(2);

// A program opens both its lines at once; a monitor line still closed this long after the
// terminal line came up is one it does not use (mirvane --monitor-port none).
constexpr auto kUnopenedAfter = std::chrono::seconds(1);

std::string system_error(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

using Bytes = std::vector<std::uint8_t>;

// Everything the far side has written on a line, or failure and why.
std::variant<Bytes, std::string> read_waiting(const PtyLine& line, const char* failure) {
    Bytes bytes;
    std::array<std::uint8_t, 256> buffer;
    for (;;) {
        const ssize_t n = ::read(line.master.get(), buffer.data(), buffer.size());
        if (n > 0) {
            bytes.insert(bytes.end(), buffer.begin(), buffer.begin() + n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN && errno != EIO) return system_error(failure);
        // Nothing waiting. EIO would say that no one holds the slave; the simulator
        // always does, so it is taken for the same.
        return bytes;
    }
}

}  // namespace

Simulator::Simulator(PtyLine terminal, PtyLine monitor, SimulatorSettings settings)
    : terminal_(std::move(terminal)),
      monitor_(std::move(monitor)),
      settings_(std::move(settings)),
      to_handset_(settings_.full_speed ? Clock::duration::zero() : kByteTime),
      to_host_(settings_.full_speed ? Clock::duration::zero() : kByteTime),
      player_(settings_.played ? std::optional<Player>(std::move(*settings_.played)) : std::nullopt),
      random_(settings_.seed),
      started_(Clock::now()) {
    settings_.played.reset();  // the player has it
}

std::optional<std::string> Simulator::serve_until(int wake_fd) {
    for (;;) {
        const Clock::time_point now = Clock::now();
        watch_lines(now);
        if (auto failure = read_host(now)) return failure;
        hear_arrivals(now);
        if (auto failure = play(now)) return failure;
        report_level(now);
        if (auto failure = deliver(now)) return failure;

        Clock::time_point wake = now + kLineWatch;
        if (const auto next = next_event()) wake = std::min(wake, *next);
        const auto wait = std::max(Clock::duration::zero(), wake - Clock::now());
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(wait);
        const timespec timeout{static_cast<time_t>(seconds.count()), static_cast<long>((wait - seconds).count())};

        std::array<pollfd, 3> fds{{
            {terminal_.master.get(), POLLIN, 0},
            {monitor_.master.get(), POLLIN, 0},
            {wake_fd, POLLIN, 0},
        }};
        if (::ppoll(fds.data(), fds.size(), &timeout, nullptr) < 0) {
            if (errno == EINTR) continue;
            return system_error("cannot wait for the lines");
        }
        if (fds[2].revents != 0) return std::nullopt;
    }
}

void Simulator::watch_lines(Clock::time_point now) {
    const bool terminal_up = far_side_listening(terminal_);
    if (terminal_up != terminal_up_) {
        terminal_up_ = terminal_up;
        if (terminal_up) terminal_up_at_ = now;
        trace(now, terminal_up ? "terminal line up" : "terminal line down", {});
        if (terminal_up) {
            if (player_) player_->start(now);
            if (settings_.levels) next_level_ = now + settings_.first_level_after;
        } else {
            // What was on its way to a port nobody reads is lost, as on a real line.
            to_host_.clear();
            discard_unread(terminal_);
            next_level_.reset();
        }
    }
    const bool monitor_up = far_side_listening(monitor_);
    if (monitor_up != monitor_up_) {
        monitor_up_ = monitor_up;
        trace(now, monitor_up ? "monitor line up" : "monitor line down", {});
        if (!monitor_up) discard_unread(monitor_);
    }
}

std::optional<std::string> Simulator::read_host(Clock::time_point now) {
    auto heard = read_waiting(terminal_, "cannot read the terminal line");
    if (const auto* failure = std::get_if<std::string>(&heard)) return *failure;
    for (const std::uint8_t command : std::get<Bytes>(heard)) to_handset_.send(command, now);
    traffic_.heard += static_cast<long>(std::get<Bytes>(heard).size());
    // The monitor line carries bytes towards the program only; anything the program
    // writes on it is read away, so that it cannot fill up.
    auto ignored = read_waiting(monitor_, "cannot read the monitor line");
    if (const auto* failure = std::get_if<std::string>(&ignored)) return *failure;
    traffic_.monitor_ignored += static_cast<long>(std::get<Bytes>(ignored).size());
    return std::nullopt;
}

void Simulator::hear_arrivals(Clock::time_point now) {
    for (const std::uint8_t command : to_handset_.arrived(now)) {
        const std::array<std::uint8_t, 1> byte{command};
        trace(now, "host -> handset", byte);
        if (replaying()) continue;  // the capture alone speaks on both lines
        // The tap sees the byte as the handset does; a tap nobody reads loses it.
        const auto written = monitor_up_ ? write_line(monitor_, byte) : std::size_t{0};
        if (const auto* n = std::get_if<std::size_t>(&written); n && *n == 1) {
            ++traffic_.tapped;
            trace(now, "tap -> monitor", byte);
        } else {
            ++traffic_.lost;
        }
        if (settings_.answers) speak(handset_.hear(command), now);
    }
}

std::optional<std::string> Simulator::play(Clock::time_point now) {
    replay_held_ = false;
    if (!player_) return std::nullopt;
    const bool capture = replaying();
    // At full speed a capture's pauses go; a script keeps its times, only its bytes speed up.
    while (const ScriptStep* step = player_->due(now, !(capture && settings_.full_speed))) {
        if (capture && nobody_opened(*step, now)) {
            if (traffic_.skipped++ == 0) note("the program has not opened the monitor line: its reads are skipped");
        } else if (capture) {
            if (!ready_for(*step)) {
                replay_held_ = true;
                break;
            }
            if (auto failure = replay(*step, now)) return failure;
        } else {
            speak(step->bytes, now);
        }
        player_->played();
        if (capture && player_->finished()) {
            note("the capture has been played (" + std::to_string(traffic_.replayed) + " bytes written, " +
                 std::to_string(traffic_.skipped) + " reads skipped)");
        }
    }
    return std::nullopt;
}

bool Simulator::nobody_opened(const ScriptStep& read, Clock::time_point now) const {
    return read.line == Line::monitor && !monitor_up_ && terminal_up_ && now - terminal_up_at_ >= kUnopenedAfter;
}

void Simulator::note(const std::string& what) const {
    if (settings_.notes == nullptr) return;
    std::fprintf(settings_.notes, "mirvane-sim: %s\n", what.c_str());
    std::fflush(settings_.notes);
}

void Simulator::report_level(Clock::time_point now) {
    if (!next_level_ || now < *next_level_) return;
    if (terminal_up_ && handset_.between_calls()) {
        const std::array<std::uint8_t, 1> level{handset_.drift_level(random_)};
        speak(level, now);
    }
    next_level_ = now + level_pause();
}

// One write a read, each once the program has taken in everything before it on both lines:
// its reads are not merged and its log keeps the captured order.
bool Simulator::ready_for(const ScriptStep& read) const {
    const bool listening = read.line == Line::monitor ? monitor_up_ : terminal_up_;
    return listening && !far_side_has_unread(terminal_) && !far_side_has_unread(monitor_);
}

std::optional<std::string> Simulator::replay(const ScriptStep& read, Clock::time_point now) {
    const bool monitor = read.line == Line::monitor;
    const auto written = write_line(monitor ? monitor_ : terminal_, read.bytes);
    if (const auto* failure = std::get_if<std::string>(&written)) return *failure;
    const std::size_t done = std::get<std::size_t>(written);
    traffic_.replayed += static_cast<long>(done);
    traffic_.lost += static_cast<long>(read.bytes.size() - done);
    trace(now, monitor ? "replay -> monitor" : "replay -> terminal", std::span(read.bytes.data(), done));
    return std::nullopt;
}

std::optional<std::string> Simulator::deliver(Clock::time_point now) {
    const std::vector<std::uint8_t> bytes = to_host_.arrived(now);
    if (bytes.empty()) return std::nullopt;
    if (!terminal_up_) {
        traffic_.lost += static_cast<long>(bytes.size());
        return std::nullopt;
    }
    const auto written = write_line(terminal_, bytes);
    if (const auto* failure = std::get_if<std::string>(&written)) return *failure;
    // What the far side had no room for is lost: it has stopped reading.
    const std::size_t done = std::get<std::size_t>(written);
    traffic_.spoken += static_cast<long>(done);
    traffic_.lost += static_cast<long>(bytes.size() - done);
    trace(now, "handset -> host", std::span(bytes.data(), done));
    return std::nullopt;
}

std::optional<Clock::time_point> Simulator::next_event() const {
    std::optional<Clock::time_point> next;
    const auto consider = [&next](std::optional<Clock::time_point> t) {
        if (t && (!next || *t < *next)) next = t;
    };
    consider(to_handset_.next_arrival());
    consider(to_host_.next_arrival());
    consider(next_level_);
    if (player_) consider(player_->next_time());
    if (replay_held_) consider(Clock::now() + kReplayWatch);
    return next;
}

void Simulator::speak(std::span<const std::uint8_t> bytes, Clock::time_point now) {
    for (const std::uint8_t b : bytes) {
        to_host_.send(b, now);
        handset_.say(b);
    }
}

Clock::duration Simulator::level_pause() {
    std::uniform_int_distribution<Clock::rep> pause(settings_.level_every_min.count(),
                                                    settings_.level_every_max.count());
    return Clock::duration(pause(random_));
}

void Simulator::trace(Clock::time_point now, const char* what, std::span<const std::uint8_t> bytes) {
    if (settings_.trace == nullptr) return;
    const double seconds = std::chrono::duration<double>(now - started_).count();
    std::fprintf(settings_.trace, "mirvane-sim: %9.3f  %s", seconds, what);
    if (!bytes.empty()) std::fprintf(settings_.trace, "%*s", static_cast<int>(17 - std::strlen(what)), "");
    for (const std::uint8_t b : bytes) std::fprintf(settings_.trace, " %02X", b);
    std::fputc('\n', settings_.trace);
    std::fflush(settings_.trace);
}

}  // namespace mirvane::sim
