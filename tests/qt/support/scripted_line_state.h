#pragma once
// A driver that the test speaks for. Pseudo-terminals count no line errors and have no
// modem lines, so the port reads whatever counters or modem lines the test has set, through
// the same seam it reads a real UART's driver, and the test sees how often it was asked.

#include <optional>

#include "link/qt/line_state_reader.h"

namespace mirvane::qt::testing {

class ScriptedLineState final : public LineStateReader {
public:
    // No value: the driver has no such thing, as a pseudo-terminal has not.
    std::optional<LineCounters> counters_now;
    std::optional<ModemLines> modem_lines_now;

    int questions = 0;
    int last_descriptor = -1;

    std::optional<LineCounters> counters(int descriptor) override {
        ++questions;
        last_descriptor = descriptor;
        return counters_now;
    }
    std::optional<ModemLines> modem_lines(int descriptor) override {
        ++questions;
        last_descriptor = descriptor;
        return modem_lines_now;
    }
};

}  // namespace mirvane::qt::testing
