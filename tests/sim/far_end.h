#pragma once
// The program's end of a simulated line, as a serial port opens it: raw, 600 baud, even
// parity; closing puts the settings back as they were, as serial port classes do. Used
// by the tests and by the far-side helper program in place of Mirvane.

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace mirvane::sim::testing {

class FarEnd {
public:
    // listen false: open the device but leave its speed alone, as a program that has not
    // configured the port yet.
    explicit FarEnd(const std::string& path, bool listen = true) {
        fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd_ < 0) throw std::runtime_error("cannot open " + path);
        ::tcgetattr(fd_, &before_);
        if (listen) this->listen();
    }
    ~FarEnd() { close(); }
    FarEnd(const FarEnd&) = delete;
    FarEnd& operator=(const FarEnd&) = delete;

    int fd() const { return fd_; }

    void listen() {
        termios settings = before_;
        ::cfmakeraw(&settings);
        settings.c_cflag |= PARENB | CLOCAL | CREAD;
        ::cfsetispeed(&settings, B600);
        ::cfsetospeed(&settings, B600);
        ::tcsetattr(fd_, TCSANOW, &settings);
    }

    void close() {
        if (fd_ < 0) return;
        ::tcsetattr(fd_, TCSANOW, &before_);
        ::close(fd_);
        fd_ = -1;
    }

    void send(const std::vector<std::uint8_t>& bytes) {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
            if (n > 0) done += static_cast<std::size_t>(n);
        }
    }

    // Reads until count bytes have come or the time is up.
    std::vector<std::uint8_t> receive(std::size_t count,
                                      std::chrono::milliseconds within = std::chrono::seconds(5)) {
        std::vector<std::uint8_t> bytes;
        const auto deadline = std::chrono::steady_clock::now() + within;
        while (bytes.size() < count) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) break;
            pollfd fd{fd_, POLLIN, 0};
            if (::poll(&fd, 1, static_cast<int>(left.count())) <= 0) continue;
            std::uint8_t buffer[256];
            const std::size_t want = std::min(sizeof buffer, count - bytes.size());
            const ssize_t n = ::read(fd_, buffer, want);
            if (n > 0) bytes.insert(bytes.end(), buffer, buffer + n);
        }
        return bytes;
    }

    // Everything that arrives within the time given.
    std::vector<std::uint8_t> receive_for(std::chrono::milliseconds time) {
        return receive(static_cast<std::size_t>(-1), time);
    }

private:
    int fd_ = -1;
    termios before_{};
};

}  // namespace mirvane::sim::testing
