#include "link/line_counters.h"

#include <array>

#include "program/serial_port.h"

namespace mirvane {

namespace {

struct CountedEvent {
    std::int16_t event;
    std::uint32_t LineCounters::*counter;
};

// Raising order: the quiet line states before the errors that open boxes; within each,
// by event number.
constexpr std::array<CountedEvent, 9> kCountedEvents{{
    {comm_event::kCts, &LineCounters::cts},
    {comm_event::kDsr, &LineCounters::dsr},
    {comm_event::kCd, &LineCounters::dcd},
    {comm_event::kRing, &LineCounters::rng},
    {comm_event::kBreak, &LineCounters::brk},
    {comm_event::kFrame, &LineCounters::frame},
    {comm_event::kOverrun, &LineCounters::overrun},
    {comm_event::kRxOverflow, &LineCounters::buf_overrun},
    {comm_event::kParity, &LineCounters::parity},
}};

}  // namespace

std::vector<LineEventCount> new_line_events(const LineCounters& earlier, const LineCounters& later) {
    std::vector<LineEventCount> events;
    for (const CountedEvent& counted : kCountedEvents) {
        // Unsigned subtraction is modulo 2^32, which is exactly how the driver's counter wraps.
        const std::uint32_t occurred = later.*counted.counter - earlier.*counted.counter;
        if (occurred != 0) events.push_back({counted.event, occurred});
    }
    return events;
}

std::vector<LineEventCount> changed_modem_lines(const ModemLines& earlier, const ModemLines& later) {
    std::vector<LineEventCount> events;
    if (earlier.cts != later.cts) events.push_back({comm_event::kCts, 1});
    if (earlier.dsr != later.dsr) events.push_back({comm_event::kDsr, 1});
    if (earlier.cd != later.cd) events.push_back({comm_event::kCd, 1});
    if (earlier.ri && !later.ri) events.push_back({comm_event::kRing, 1});
    return events;
}

}  // namespace mirvane
