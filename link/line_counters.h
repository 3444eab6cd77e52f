#pragma once
// Line errors and line states that the serial library does not report but the driver
// counts. The binding reads the driver twice, a while apart, and raises what the two
// readings say happened in between, one event per new occurrence.

#include <cstdint>
#include <vector>

namespace mirvane {

// One reading of the driver's per-line counters, field for field as the driver keeps
// them. Each counts occurrences since the driver started counting and wraps at 2^32.
struct LineCounters {
    std::uint32_t cts = 0;  // CTS transitions
    std::uint32_t dsr = 0;  // DSR transitions
    std::uint32_t rng = 0;  // rings seen on RI
    std::uint32_t dcd = 0;  // CD transitions
    std::uint32_t rx = 0;   // bytes received
    std::uint32_t tx = 0;   // bytes sent
    std::uint32_t frame = 0;
    std::uint32_t overrun = 0;  // bytes lost in the UART
    std::uint32_t parity = 0;
    std::uint32_t brk = 0;          // breaks received
    std::uint32_t buf_overrun = 0;  // bytes lost because the receive buffer was full
};

// One reading of the modem input lines, for drivers that keep no counters.
struct ModemLines {
    bool cts = false;
    bool dsr = false;
    bool cd = false;
    bool ri = false;
};

// An event number and how many times in a row it is to be raised.
struct LineEventCount {
    std::int16_t event = 0;
    std::uint32_t count = 0;

    friend bool operator==(const LineEventCount&, const LineEventCount&) = default;
};

// What happened on the line between two counter readings: line states (CTS 3, DSR 4,
// CD 5, RI 6) first, then errors (break 1001, framing 1004, overrun 1006, buffer
// overflow 1008, parity 1009), each in increasing event number and only when it
// occurred. A counter below its earlier value has wrapped, not gone back.
std::vector<LineEventCount> new_line_events(const LineCounters& earlier, const LineCounters& later);

// What two readings of the modem lines show: one event per line whose level differs.
// A ring counts once RI falls again, as a UART counts it, so one ring is one event.
// Changes that undo each other between the readings cannot be seen this way.
std::vector<LineEventCount> changed_modem_lines(const ModemLines& earlier, const ModemLines& later);

}  // namespace mirvane
