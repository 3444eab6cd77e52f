#include "sim/pty.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace mirvane::sim {

void UniqueFd::reset() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

namespace {

std::string system_error(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

bool set_flag(int fd, int get, int set, int flag) {
    const int flags = ::fcntl(fd, get);
    return flags >= 0 && ::fcntl(fd, set, flags | flag) == 0;
}

}  // namespace

std::variant<PtyLine, std::string> open_pty_line() {
    int master = -1;
    int slave = -1;
    if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) {
        return system_error("cannot create a pseudo-terminal");
    }
    PtyLine line{UniqueFd(master), UniqueFd(slave), {}};

    // Neither end may leak into the program the simulator starts.
    if (!set_flag(master, F_GETFD, F_SETFD, FD_CLOEXEC) || !set_flag(slave, F_GETFD, F_SETFD, FD_CLOEXEC) ||
        !set_flag(master, F_GETFL, F_SETFL, O_NONBLOCK)) {
        return system_error("cannot set up a pseudo-terminal");
    }

    char path[256];
    if (const int error = ::ttyname_r(slave, path, sizeof path); error != 0) {
        errno = error;
        return system_error("cannot name a pseudo-terminal");
    }
    line.path = path;

    termios settings{};
    if (::tcgetattr(slave, &settings) != 0) return system_error("cannot read line settings");
    ::cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    ::cfsetispeed(&settings, B9600);
    ::cfsetospeed(&settings, B9600);
    if (::tcsetattr(slave, TCSANOW, &settings) != 0) {
        return system_error("cannot set line settings");
    }
    return line;
}

bool far_side_listening(const PtyLine& line) {
    termios settings{};
    if (::tcgetattr(line.slave.get(), &settings) != 0) return false;
    return ::cfgetospeed(&settings) == B600;
}

std::variant<std::size_t, std::string> write_line(const PtyLine& line, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(line.master.get(), bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN && errno != EIO) {
            return system_error(("cannot write " + line.path).c_str());
        }
        break;  // the far side's input is full: it has stopped reading
    }
    return done;
}

bool far_side_has_unread(const PtyLine& line) {
    // Asked by poll, not FIONREAD: poll first moves what the pty still holds on its way in
    // into the input queue, so a byte written a moment ago is not missed.
    pollfd input{line.slave.get(), POLLIN, 0};
    return ::poll(&input, 1, 0) == 1 && (input.revents & POLLIN) != 0;
}

void discard_unread(const PtyLine& line) { ::tcflush(line.slave.get(), TCIFLUSH); }

}  // namespace mirvane::sim
