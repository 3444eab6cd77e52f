#pragma once
// The message log: the last log_size entries (code pattern, meaning), shown newest first in
// Text2. Writers fill the slot at log_pos and commit it with disp_Command.

#include <string>
#include <string_view>

#include "program/program.h"

namespace mirvane {

inline constexpr std::u16string_view kColumnSeparator = u" : ";
inline constexpr std::u16string_view kLineBreak = u"\r\n";

// Shows the log pane with the current slot on top and moves log_pos to the next slot. The
// text is that of a full render at this moment, drawn when the window reads it; the work is
// that of the entries committed since the last read, or of the whole log once as many
// entries as it holds were.
void disp_Command(Program& program);

// Writes a whole entry at log_pos and commits it. When the status decoder is still
// collecting a message in that slot, the open message is kept out of the way: this entry
// takes the slot and is committed, and the open message moves on, whole, to the next slot.
void commit_entry(Program& program, std::u16string code, std::u16string meaning);

// Empties both stores and both panes and puts both positions back to slot 0. The renderers
// are not called: the panes are set empty directly.
void clear_logs(Program& program);

// "[" + time + "] ", the stamp in front of every meaning text.
std::u16string time_stamp(std::u16string_view time_of_day);

}  // namespace mirvane
