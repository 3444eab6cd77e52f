#pragma once
// The binding's half of reconnecting: while the core waits for a lost line, a check every
// half second of whether each awaited device is there and opens. A timer that runs only
// while something is awaited costs nothing the rest of the time; udev or inotify would
// tell sooner, but not of a device that is there yet refuses to open.

#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>

#include "program/program.h"

namespace mirvane::qt {

// Whether the device at `path` exists and opens for reading and writing now.
bool device_opens(const QString& path);

class DeviceWatch : public QObject {
public:
    static constexpr std::chrono::milliseconds kInterval{500};

    explicit DeviceWatch(Program& program);

    // After a lost line: starts checking if the core now waits for it.
    void follow();

private:
    void check();

    Program& program_;
    QTimer timer_;
};

}  // namespace mirvane::qt
