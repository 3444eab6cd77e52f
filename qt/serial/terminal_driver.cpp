#include "qt/serial/terminal_driver.h"

#ifdef Q_OS_UNIX
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace mirvane::qt {

#ifdef Q_OS_UNIX
namespace {

// A count the driver keeps for the open line, asked by its ioctl request; 0 where it cannot
// tell.
int driver_count(qintptr handle, unsigned long request) {
    int count = 0;
    if (handle >= 0 && ::ioctl(static_cast<int>(handle), request, &count) == 0) return count;
    return 0;
}

}  // namespace
#endif

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
    return driver_input_queue(handle);
#else
    Q_UNUSED(handle);
    return std::nullopt;
#endif
}

int driver_output_queue(qintptr handle) {
#if defined(Q_OS_LINUX)
    return driver_count(handle, TIOCOUTQ);
#else
    Q_UNUSED(handle);
    return 0;
#endif
}

int driver_input_queue(qintptr handle) {
#ifdef Q_OS_UNIX
    return driver_count(handle, FIONREAD);
#else
    Q_UNUSED(handle);
    return 0;
#endif
}

}  // namespace mirvane::qt
