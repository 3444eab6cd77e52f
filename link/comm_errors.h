#pragma once
// The communication error table both ports share.

#include <cstdint>
#include <string_view>

#include "program/program.h"

namespace mirvane {

// The fixed message of a communication error event; "その他の通信エラー" for any number that
// the table does not list.
std::u16string_view comm_error_text(std::int16_t event);
// The same in English.
std::u16string_view comm_error_gloss(std::int16_t event);

// Events that carry no news for the operator: send threshold, line states, end of file.
bool is_quiet_line_event(std::int16_t event);

// Shows the message box for a communication error event.
void report_comm_error(Program& program, std::int16_t event);

}  // namespace mirvane
