#pragma once
// A simulator serving real pseudo-terminal pairs on a thread of its own, and the program's
// end of a line, for tests that play the program's side of the lines.

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

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
        if (!std::holds_alternative<PtyLine>(terminal) || !std::holds_alternative<PtyLine>(monitor) ||
            ::pipe(stop_) != 0) {
            throw std::runtime_error("no pseudo-terminal or pipe");
        }
        simulator_.emplace(std::get<PtyLine>(std::move(terminal)), std::get<PtyLine>(std::move(monitor)),
                           std::move(settings));
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
        [[maybe_unused]] const ssize_t n = ::write(stop_[1], "", 1);
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

// The program's end of a simulated line, as a serial port opens it: raw, 600 baud, even
// parity; closing puts the settings back as they were, as serial port classes do.
class FarEnd {
public:
    // listen false: open the device but leave its speed alone, as a program that has not
    // configured the port yet.
    explicit FarEnd(const std::string& path, bool listen = true)
        : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {
        if (fd_ < 0) throw std::runtime_error("cannot open " + path);
        ::tcgetattr(fd_, &before_);
        if (listen) this->listen();
    }
    ~FarEnd() {
        ::tcsetattr(fd_, TCSANOW, &before_);
        ::close(fd_);
    }
    FarEnd(const FarEnd&) = delete;
    FarEnd& operator=(const FarEnd&) = delete;

    void listen() {
        termios settings = before_;
        ::cfmakeraw(&settings);
        settings.c_cflag |= PARENB | CLOCAL | CREAD;
        ::cfsetspeed(&settings, B600);
        ::tcsetattr(fd_, TCSANOW, &settings);
    }

    void send(const std::vector<std::uint8_t>& bytes) {
        for (std::size_t done = 0; done < bytes.size();) {
            const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
            if (n > 0) done += static_cast<std::size_t>(n);
        }
    }

    // Reads until count bytes have come or the time is up.
    std::vector<std::uint8_t> receive(std::size_t count, std::chrono::milliseconds within = std::chrono::seconds(5)) {
        std::vector<std::uint8_t> bytes;
        const auto deadline = Clock::now() + within;
        for (auto left = within; bytes.size() < count && left.count() > 0;
             left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now())) {
            pollfd fd{fd_, POLLIN, 0};
            if (::poll(&fd, 1, static_cast<int>(left.count())) <= 0) continue;
            std::uint8_t buffer[256];
            const ssize_t n = ::read(fd_, buffer, std::min(sizeof buffer, count - bytes.size()));
            if (n > 0) bytes.insert(bytes.end(), buffer, buffer + n);
        }
        return bytes;
    }
    // Everything that arrives within the time given.
    std::vector<std::uint8_t> receive_for(std::chrono::milliseconds time) { return receive(SIZE_MAX, time); }

private:
    int fd_;
    termios before_{};
};

}  // namespace mirvane::sim::testing
