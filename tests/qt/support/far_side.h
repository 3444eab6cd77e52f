#pragma once
// The far side of a line: a real pseudo-terminal whose device end the tool opens through a
// path that the test owns (a symbolic link), and whose master end the test reads and
// writes as the terminal or the monitor tap would. Unplugging closes the master; a new
// pseudo-terminal can then take the same path, as a USB adapter plugged in again would.

#include <QFile>
#include <QString>
#include <QTest>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace mirvane::qt::testing {

class FarSide {
public:
    // keep_device_end: the test keeps its own handle on the device end, to look at the
    // line settings or to hold the line's output.
    explicit FarSide(QString path, bool keep_device_end = false)
        : path_(std::move(path)), keep_device_end_(keep_device_end) {
        plug_in();
    }
    ~FarSide() {
        unplug();
        QFile::remove(path_);
    }
    FarSide(const FarSide&) = delete;
    FarSide& operator=(const FarSide&) = delete;

    const QString& path() const { return path_; }
    int device_end() const { return device_end_; }

    void write(const std::vector<std::uint8_t>& bytes) {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR) continue;
            QVERIFY2(n > 0, "the far side could not write");
            done += static_cast<std::size_t>(n);
        }
    }

    // What the tool has sent so far.
    const std::vector<std::uint8_t>& received() {
        collect();
        return received_;
    }

    // Runs the event loop until `count` bytes have come, or the time is up.
    std::vector<std::uint8_t> wait_for(std::size_t count, int timeout_ms = 5000) {
        (void)QTest::qWaitFor([&] { return received().size() >= count; }, timeout_ms);
        return received_;
    }

    // Whether some program has the device end open (the tool's port, not ours).
    bool device_open() const {
        if (master_ < 0) return false;  // unplugged: nothing there to hold open
        pollfd fd{master_, POLLIN, 0};
        ::poll(&fd, 1, 0);
        return (fd.revents & POLLHUP) == 0;
    }

    bool wait_device_open(bool open, int timeout_ms = 3000) const {
        return QTest::qWaitFor([&] { return device_open() == open; }, timeout_ms);
    }

    // The far side goes away: the terminal is switched off or the adapter pulled.
    void unplug() {
        if (device_end_ >= 0) ::close(device_end_);
        if (master_ >= 0) ::close(master_);
        device_end_ = master_ = -1;
    }

    // A new device appears at the same path.
    void plug_in() {
        unplug();
        int device = -1;
        char name[256] = {};
        QVERIFY2(::openpty(&master_, &device, name, nullptr, nullptr) == 0, "openpty failed");
        ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
        if (keep_device_end_) {
            device_end_ = device;
        } else {
            ::close(device);
        }
        QFile::remove(path_);
        QVERIFY(QFile::link(QString::fromLocal8Bit(name), path_));
        received_.clear();
    }

private:
    void collect() {
        std::uint8_t chunk[4096];
        for (;;) {
            const ssize_t n = ::read(master_, chunk, sizeof chunk);
            if (n <= 0) return;  // nothing more, or nobody has the device end open
            received_.insert(received_.end(), chunk, chunk + n);
        }
    }

    QString path_;
    bool keep_device_end_;
    int master_ = -1;
    int device_end_ = -1;
    std::vector<std::uint8_t> received_;
};

}  // namespace mirvane::qt::testing
