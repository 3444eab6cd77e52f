#pragma once
// The capture's lines, written by the program and read by its replay and the simulator's:
//   # Mirvane capture: ...                     a comment
//   2026-12-07 10:15:01.250 terminal AF C5     a read: the line, then its bytes in hex
//   2026-12-07 10:15:02.000 clear              an operator's action that changes what is decoded
//   2026-12-07 10:15:02.100 sent A7            a command code the program sent on the terminal line
// The program writes what follows the stamp; the session file puts the local date and time,
// to the millisecond, in front.

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "vocabulary/lines.h"

namespace mirvane {

// Start and stop of terminal communication, the clear of the panes and stores, and a send
// (its codes in the record's bytes): what the program did, not what it read.
enum class CaptureAction : std::uint8_t { start, stop, clear, sent };

struct CaptureRecord {
    std::chrono::milliseconds at;  // the stamp's date and time, counted from 1970-01-01 00:00
    std::optional<Line> line;      // the line of a read; none for an action
    CaptureAction action = CaptureAction::clear;
    std::vector<std::uint8_t> bytes;  // a read's, in order
    int file_line = 0;                // for messages

    // The stamp's time of day as the log's entries give it: "hh:mm:ss".
    std::u16string time_of_day() const;
};

// What follows the stamp.
std::u16string capture_read_text(Line line, std::span<const std::uint8_t> bytes);
std::u16string capture_action_text(CaptureAction action);
std::u16string capture_send_text(std::uint8_t code);
std::string_view action_name(CaptureAction action);

struct Capture {
    std::vector<CaptureRecord> records;
    // What was passed over, ready to print: a last line cut short (a full disk).
    std::vector<std::string> warnings;
};

// A whole capture, or the first line refused as "name:line: what". A last line that has no
// line end and cannot be read was cut off while being written: it is a warning, and every
// whole line before it is kept.
std::variant<Capture, std::string> parse_capture(std::string_view text, std::string_view name);

}  // namespace mirvane
