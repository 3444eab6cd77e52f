#include "qt/serial/line_watch.h"

#include <utility>
#include <vector>

namespace mirvane::qt {

namespace {

// Between reads the driver is asked this often: often enough that a break or a modem line
// change on a quiet line is seen while the operator still remembers what happened, rarely
// enough to cost nothing worth measuring.
constexpr std::chrono::milliseconds kLinePollInterval{200};

}  // namespace

LineWatch::LineWatch(const QSerialPort& port, std::function<void(std::int16_t event)> raise)
    : port_(port), raise_(std::move(raise)) {
    poll_.setInterval(kLinePollInterval);
    poll_.setTimerType(Qt::CoarseTimer);
    connect(&poll_, &QTimer::timeout, this, &LineWatch::read);
}

void LineWatch::set_reader(std::shared_ptr<LineStateReader> reader) {
    reader_ = reader ? std::move(reader) : driver_line_state_reader();
}

void LineWatch::set_poll_interval(std::chrono::milliseconds interval) { poll_.setInterval(interval); }

void LineWatch::start() {
    pending_.clear();
    source_ = Source::none;
    const int descriptor = static_cast<int>(port_.handle());
    // What the driver counted before this opening is history: the first reading is only
    // the point from which occurrences count.
    if (const auto counters = reader_->counters(descriptor)) {
        last_counters_ = *counters;
        source_ = Source::counters;
    } else if (const auto lines = reader_->modem_lines(descriptor)) {
        last_modem_lines_ = *lines;
        source_ = Source::modem_lines;
    }
    if (source_ != Source::none) poll_.start();
}

void LineWatch::stop() {
    poll_.stop();
    source_ = Source::none;
    // What was read but not yet raised belongs to the opening that ends here.
    pending_.clear();
}

void LineWatch::read() {
    if (source_ == Source::none || !port_.isOpen()) return;
    const int descriptor = static_cast<int>(port_.handle());
    std::vector<LineEventCount> events;
    if (source_ == Source::counters) {
        // No answer: the device is on its way out, and its loss is reported on its own.
        const auto reading = reader_->counters(descriptor);
        if (!reading) return;
        events = new_line_events(last_counters_, *reading);
        last_counters_ = *reading;
    } else {
        const auto reading = reader_->modem_lines(descriptor);
        if (!reading) return;
        events = changed_modem_lines(last_modem_lines_, *reading);
        last_modem_lines_ = *reading;
    }
    if (events.empty()) return;
    pending_.insert(pending_.end(), events.begin(), events.end());
    next_event_.request();
}

void LineWatch::deliver() {
    if (!port_.isOpen() || pending_.empty()) return;
    LineEventCount& next = pending_.front();
    const std::int16_t event = next.event;
    if (--next.count == 0) pending_.pop_front();
    // The next occurrence is announced before this one is handled: a box opened for this
    // one runs events, and the core queues what comes meanwhile behind it. Counts stay
    // counts until raised, so a burst costs one entry per reading, not per occurrence.
    if (!pending_.empty()) next_event_.request();
    raise_(event);
}

}  // namespace mirvane::qt
