#include "qt/window/device_watch.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>

#include "qt/session/named_files.h"
#include "shell/reconnect.h"

namespace mirvane::qt {

bool device_opens(const QString& path) {
    // Not blocking: a serial device may wait for its carrier before it opens. No controlling
    // terminal: the program must not adopt the line it only looked at.
    const int fd = ::open(argument_bytes(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

DeviceWatch::DeviceWatch(Program& program) : program_(program) {
    timer_.setInterval(kInterval);
    connect(&timer_, &QTimer::timeout, this, &DeviceWatch::check);
}

void DeviceWatch::follow() {
    if (watching_for_device(program_) && !timer_.isActive()) timer_.start();
}

void DeviceWatch::check() {
    if (watching_for_device(program_)) {
        const auto devices = awaited_devices(program_);
        const bool all_there = std::all_of(devices.begin(), devices.end(), [](const std::u16string& device) {
            return device_opens(QString::fromStdU16String(device));
        });
        if (all_there) device_returned(program_);
    }
    // The operator's own press, or the return, ended the wait.
    if (!watching_for_device(program_)) timer_.stop();
}

}  // namespace mirvane::qt
