#pragma once
// What the driver knows about a line beyond its bytes. QSerialPort reports neither parity,
// framing, overrun and break errors nor changes of the modem input lines; the driver of a
// real UART counts them, and the port asks it through this seam, so that tests can stand
// in for a driver that pseudo-terminals never are.

#include <memory>
#include <optional>

#include "link/line_counters.h"

namespace mirvane::qt {

class LineStateReader {
public:
    virtual ~LineStateReader() = default;

    // The driver's error and line-state counters of the open line `descriptor`; no value
    // where the driver keeps none.
    virtual std::optional<LineCounters> counters(int descriptor) = 0;
    // The levels of the modem input lines; no value where the driver has none.
    virtual std::optional<ModemLines> modem_lines(int descriptor) = 0;
};

// The machine's own driver: TIOCGICOUNT and TIOCMGET on Linux; elsewhere it knows nothing.
std::unique_ptr<LineStateReader> driver_line_state_reader();

}  // namespace mirvane::qt
