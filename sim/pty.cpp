#include "sim/pty.h"

#include <fcntl.h>
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

std::string system_error(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

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
    if (!set_flag(master, F_GETFD, F_SETFD, FD_CLOEXEC) ||
        !set_flag(slave, F_GETFD, F_SETFD, FD_CLOEXEC) ||
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

void discard_unread(const PtyLine& line) { ::tcflush(line.slave.get(), TCIFLUSH); }

}  // namespace mirvane::sim
