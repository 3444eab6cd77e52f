#include "qt/serial/terminal_driver.h"

#ifdef Q_OS_UNIX
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace mirvane::qt {

bool mark_bytes_in_error(qintptr handle) {
#ifdef Q_OS_UNIX
    termios settings{};
    const int descriptor = static_cast<int>(handle);
    if (descriptor < 0 || ::tcgetattr(descriptor, &settings) != 0) return false;
    settings.c_iflag |= INPCK | PARMRK;
    settings.c_iflag &= ~static_cast<tcflag_t>(IGNPAR | ISTRIP);
    return ::tcsetattr(descriptor, TCSANOW, &settings) == 0;
#else
    Q_UNUSED(handle);
    return false;
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

}  // namespace mirvane::qt
