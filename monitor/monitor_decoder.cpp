#include "monitor/monitor_decoder.h"

#include <array>

#include "link/comm_errors.h"
#include "logs/message_log.h"
#include "logs/session_records.h"
#include "vocabulary/command_codes.h"
#include "vocabulary/hex_text.h"
#include "vocabulary/names.h"

namespace mirvane {

namespace {

constexpr std::u16string_view kEmptyColumns = u"__ __ __ __ ";

}  // namespace

std::u16string monitor_meaning(std::uint8_t byte) { return command_meaning(byte); }

std::u16string monitor_code_pattern(std::uint8_t byte) { return std::u16string(kEmptyColumns) + hex_text(byte); }

void log_monitor_bytes(Program& program, std::span<const std::uint8_t> bytes, std::u16string_view time_of_day) {
    const std::u16string stamp = time_stamp(time_of_day);
    for (const std::uint8_t byte : bytes) {
        commit_entry(program, monitor_code_pattern(byte), stamp + monitor_meaning(byte));
    }
}

void MSComm2_OnComm(Program& program) {
    const std::int16_t event = program.MSComm2.comm_event();
    if (event == comm_event::kReceive) {
        const std::u16string now = program.window.time_of_day();
        const std::vector<std::uint8_t> bytes = program.MSComm2.input();
        record_read(program, Line::monitor, bytes);
        log_monitor_bytes(program, bytes, now);
    } else if (!is_quiet_line_event(event)) {
        report_comm_error(program, event);
    }
}

}  // namespace mirvane
