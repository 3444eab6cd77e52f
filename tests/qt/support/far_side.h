#pragma once
// The far side of a line: a real pseudo-terminal whose device end the tool opens through a
// path the test owns (a symbolic link named by MIRVANE_PORT1 or MIRVANE_PORT2), and whose
// master end the test reads and writes as the terminal or the monitor tap would. The test
// holds the device end too, to read its settings or hold its output. Unplugging closes
// both ends; plugging in puts a new pseudo-terminal behind the same path, as an adapter
// plugged in again would.
// Beside it, a driver the test speaks for: a pseudo-terminal counts no line errors and has
// no modem lines, so the port reads what the test sets, through the seam it reads a UART by.

#include <fcntl.h>
#include <pty.h>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "qt/serial/qt_serial_port.h"

namespace mirvane::qt::testing {

using Bytes = std::vector<std::uint8_t>;

struct FarSide {
    explicit FarSide(int port) {
        qputenv(("MIRVANE_PORT" + QByteArray::number(port)).constData(), path().toLocal8Bit());
        plug_in();
    }
    ~FarSide() { unplug(); }
    QString path() const { return dir_.filePath("line"); }

    // A pseudo-terminal takes some 9 KiB that the tool has not read yet.
    void write(const Bytes& bytes) { QCOMPARE(::write(master_, bytes.data(), bytes.size()), ssize_t(bytes.size())); }
    // What the tool has sent so far.
    const Bytes& received() {
        for (std::uint8_t byte; ::read(master_, &byte, 1) == 1;) received_.push_back(byte);
        return received_;
    }

    // What the tool sent before stays received; the path goes too: a new pseudo-terminal
    // may take the old one's number.
    void unplug() {
        received();
        for (int* fd : {&device_end, &master_})
            if (*fd >= 0) ::close(std::exchange(*fd, -1));
        QFile::remove(path());
    }
    // Everything the tool has sent once `count` bytes have come, or the time is up.
    const Bytes& wait_for(std::size_t count, int timeout_ms = 5000) {
        (void)QTest::qWaitFor([&] { return received().size() >= count; }, timeout_ms);
        return received();
    }
    void plug_in() {
        unplug();
        QVERIFY(::openpty(&master_, &device_end, nullptr, nullptr, nullptr) == 0);
        ::fcntl(master_, F_SETFL, O_NONBLOCK);
        QVERIFY(QFile::link(QString::fromLocal8Bit(::ptsname(master_)), path()));
    }

    int device_end = -1;  // the test's own handle on the device end
    QTemporaryDir dir_;
    int master_ = -1;
    Bytes received_;
};

struct ScriptedLineState final : LineStateReader {
    // Speaks for the driver of `port` from its next opening on. The port only borrows it:
    // declared after the port, it goes first, and a port asks its driver nothing on the
    // way out.
    explicit ScriptedLineState(QtSerialPort& port) { port.set_line_state_reader({std::shared_ptr<void>(), this}); }
    std::optional<LineCounters> counters(int) override { return counters_now; }
    std::optional<ModemLines> modem_lines(int) override { return modem_lines_now; }

    std::optional<LineCounters> counters_now;  // no value: the driver keeps none
    std::optional<ModemLines> modem_lines_now;
};

}  // namespace mirvane::qt::testing
