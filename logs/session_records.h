#pragma once
// What the session log and the capture receive. Both are optional (Program::log,
// Program::capture); a file that fails a write is named in one box and written no more,
// while the window and the other file go on.

#include <cstdint>
#include <span>
#include <string_view>

#include "program/program.h"
#include "vocabulary/capture_format.h"

namespace mirvane {

// Where the operator cleared the panes; the log itself is never cleared.
inline constexpr std::u16string_view kClearMarker = u"---- 情報表示消去 ----";
// The first line of a new capture file.
inline constexpr std::u16string_view kCaptureHeader =
    u"# Mirvane capture: local date and time, then a read (line, bytes in hex), an action (start, stop, clear) or a send (sent, code in hex)";
// Behind the entry of a message that was still being collected when it was written.
inline constexpr std::u16string_view kUnfinishedMarker = u" （未完）";

// Makes the session's files the program's: a file that fails later, after its append has
// returned, is given up as one that fails an append, with its box shown at once.
void keep_session_files(Program& program, RecordFile* log, RecordFile* capture);

// A committed entry, as its line in the log pane reads. A slot without a code is no entry.
void record_entry(Program& program, std::u16string_view code, std::u16string_view meaning);

// The operator's clear: its marker in the log, the action in the capture.
void record_clear(Program& program);

// Start or stop of terminal communication, in the capture.
void record_action(Program& program, CaptureAction action);

// A message still being collected, at a clear or at the exit: its entry as it stands, with
// the unfinished marker, so that the log holds what the capture's bytes said.
void record_unfinished(Program& program);

// A command code handed to the terminal line: "sent A7 受話器を上げる" in the log, "sent A7" in
// the capture, with or without a monitor line to see it.
void record_send(Program& program, std::uint8_t code);

// Something that happened to the session, in the log as "event " and what: a start, a stop,
// a lost line, a line error, a file that failed, the exit.
void record_event(Program& program, std::u16string_view what);

// One read of a line, as handed to its decoder; an empty read is no read.
void record_read(Program& program, Line line, std::span<const std::uint8_t> bytes);

}  // namespace mirvane
