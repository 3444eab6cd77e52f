#include "qt/serial/terminal_driver.h"

#ifdef Q_OS_UNIX
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace mirvane::qt {

std::optional<long long> mark_bytes_in_error(qintptr handle) {
#ifdef Q_OS_UNIX
    termios settings{};
    const int descriptor = static_cast<int>(handle);
    if (descriptor < 0 || ::tcgetattr(descriptor, &settings) != 0) return std::nullopt;
    settings.c_iflag |= INPCK | PARMRK;
    settings.c_iflag &= ~static_cast<tcflag_t>(IGNPAR | ISTRIP);
    if (::tcsetattr(descriptor, TCSANOW, &settings) != 0) return std::nullopt;
    // Counted after the switch, so that every byte taken in before it is among them. A byte
    // taken in between the two calls is marked yet counted here: a mark on it is read as two
    // bytes, where the other way round a plain 0xFF could swallow the byte after it.
    int waiting = 0;
    if (::ioctl(descriptor, FIONREAD, &waiting) != 0) waiting = 0;
    return waiting;
#else
    Q_UNUSED(handle);
    return std::nullopt;
#endif
}

int driver_output_queue(qintptr handle) {
#if defined(Q_OS_LINUX)
    int queued = 0;
    if (handle >= 0 && ::ioctl(static_cast<int>(handle), TIOCOUTQ, &queued) == 0) return queued;
#else
    Q_UNUSED(handle);
#endif
    return 0;
}

int driver_input_queue(qintptr handle) {
#ifdef Q_OS_UNIX
    int waiting = 0;
    if (handle >= 0 && ::ioctl(static_cast<int>(handle), FIONREAD, &waiting) == 0) return waiting;
#else
    Q_UNUSED(handle);
#endif
    return 0;
}

}  // namespace mirvane::qt
