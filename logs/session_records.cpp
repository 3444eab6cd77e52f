#include "logs/session_records.h"

#include <string>

#include "logs/message_log.h"
#include "program/message_boxes.h"
#include "vocabulary/command_codes.h"
#include "vocabulary/hex_text.h"

namespace mirvane {

namespace {

constexpr std::u16string_view kRecordOpen = u"記録ファイル（";
constexpr std::u16string_view kRecordFailed = u"）に書き込めないため、このファイルへの記録をやめました：";
constexpr std::u16string_view kRecordOpenGloss = u"recording to the file (";
constexpr std::u16string_view kRecordFailedGloss = u") stopped, as it cannot be written: ";
constexpr std::u16string_view kEvent = u"event ";
constexpr std::u16string_view kFileFailed = u"file failed: ";

// The file is written no more; what its box says.
std::u16string give_up(RecordFile*& file, std::u16string_view reason) {
    std::u16string message(kRecordOpen);
    message += file->name();
    message += kRecordFailed;
    message += reason;
    file = nullptr;
    return message;
}

// Records are written in the middle of a store-and-render step; the box comes on a later
// turn, while both lines go on being read.
void append_or_drop(Program& program, RecordFile*& file, std::u16string_view line);

// A failed file is given up; the log says so when the capture failed (a failed log cannot).
void drop(Program& program, RecordFile*& file, std::u16string_view reason) {
    // The reason is the system's, in English already.
    const std::u16string gloss =
        std::u16string(kRecordOpenGloss) + file->name() + std::u16string(kRecordFailedGloss) + std::u16string(reason);
    const std::u16string message = give_up(file, reason);
    if (&file == &program.capture)
        append_or_drop(program, program.log, std::u16string(kEvent) + std::u16string(kFileFailed) + message);
    show_critical(program, message, gloss);
}

void append_or_drop(Program& program, RecordFile*& file, std::u16string_view line) {
    if (file == nullptr) return;
    if (const auto failure = file->append(line)) drop(program, file, *failure);
}

}  // namespace

void keep_session_files(Program& program, RecordFile* log, RecordFile* capture) {
    program.log = log;
    program.capture = capture;
    for (RecordFile* Program::*slot : {&Program::log, &Program::capture}) {
        RecordFile* file = program.*slot;
        if (file == nullptr) continue;
        file->failed_later = [&program, slot, file](std::u16string_view reason) {
            if (program.*slot == file) drop(program, program.*slot, reason);
        };
    }
}

void record_entry(Program& program, std::u16string_view code, std::u16string_view meaning) {
    if (program.log == nullptr || code.empty()) return;
    std::u16string line(code);
    line += kColumnSeparator;
    line += meaning;
    append_or_drop(program, program.log, line);
}

void record_clear(Program& program) {
    append_or_drop(program, program.log, kClearMarker);
    record_action(program, CaptureAction::clear);
}

void record_action(Program& program, CaptureAction action) {
    if (action == CaptureAction::start) record_event(program, u"communication started");
    if (action == CaptureAction::stop) record_event(program, u"communication stopped");
    append_or_drop(program, program.capture, capture_action_text(action));
}

void record_send(Program& program, std::uint8_t code) {
    std::u16string line = u"sent " + hex_text(code);
    line += u' ';
    line += command_meaning(code);
    append_or_drop(program, program.log, line);
    append_or_drop(program, program.capture, capture_send_text(code));
}

void record_event(Program& program, std::u16string_view what) {
    append_or_drop(program, program.log, std::u16string(kEvent) + std::u16string(what));
}

void record_unfinished(Program& program) {
    const SharedState& state = program.state;
    if (state.rx_state == 0) return;
    record_entry(program, state.log_code[state.log_pos],
                 state.log_text[state.log_pos] + std::u16string(kUnfinishedMarker));
}

void record_read(Program& program, Line line, std::span<const std::uint8_t> bytes) {
    if (program.capture == nullptr || bytes.empty()) return;
    append_or_drop(program, program.capture, capture_read_text(line, bytes));
}

}  // namespace mirvane
