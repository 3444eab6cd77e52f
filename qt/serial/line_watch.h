#pragma once
// The watch on a line's errors and modem lines, which QSerialPort does not report. At each
// open it asks the driver what it can tell (its counters, else its modem lines, else
// nothing: a pseudo-terminal), then asks again after every read and at a poll while the
// line is quiet, and raises one event per new occurrence, one per turn of the event loop.

#include <QObject>
#include <QSerialPort>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>

#include "link/line_counters.h"
#include "qt/serial/line_state_reader.h"
#include "qt/serial/next_turn.h"

namespace mirvane::qt {

class LineWatch final : public QObject {
public:
    // Watches `port`'s line and hands each occurrence to `raise` as its event number.
    LineWatch(const QSerialPort& port, std::function<void(std::int16_t event)> raise);

    // How the line is watched in this opening, chosen at start; with none, no timer runs
    // and nothing is asked again.
    enum class Source { none, counters, modem_lines };
    Source source() const { return source_; }

    // Where the line's state is read from; the machine's driver unless replaced. Taken into
    // use at the next start.
    void set_reader(std::shared_ptr<LineStateReader> reader);
    // How often the driver is asked while the line is quiet.
    void set_poll_interval(std::chrono::milliseconds interval);

    // At each open and close of the port.
    void start();
    void stop();
    // Asks the driver now; after a read, an error that came with the bytes is counted by now.
    void read();

private:
    void deliver();

    const QSerialPort& port_;
    std::function<void(std::int16_t)> raise_;
    std::shared_ptr<LineStateReader> reader_ = driver_line_state_reader();
    QTimer poll_{this};
    Source source_ = Source::none;
    LineCounters last_counters_;
    ModemLines last_modem_lines_;
    // Line events read but not yet raised, one occurrence per turn of the event loop.
    std::deque<LineEventCount> pending_;
    NextTurn next_event_{*this, [this] { deliver(); }};
};

}  // namespace mirvane::qt
