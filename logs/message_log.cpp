#include "logs/message_log.h"

namespace mirvane {

std::u16string render_log_pane(const SharedState& state) {
    const int n = state.log_size;
    const int p = state.log_pos;
    std::u16string text;
    text.reserve(static_cast<std::size_t>(n) * 40);
    // The entry being committed leads, even when its slot is empty.
    text += state.log_code[p];
    text += kColumnSeparator;
    text += state.log_text[p];
    for (int i = 2; i <= n; ++i) {
        int k = p - i + 1;
        if (k < 0) k += n;
        if (state.log_code[k].empty()) continue;
        text += kLineBreak;
        text += state.log_code[k];
        text += kColumnSeparator;
        text += state.log_text[k];
    }
    return text;
}

void disp_Command(Program& program) {
    SharedState& state = program.state;
    program.window.set_text(Control::Text2, render_log_pane(state));
    state.log_pos = static_cast<std::int16_t>((state.log_pos + 1) % state.log_size);
}

void commit_entry(Program& program, std::u16string code, std::u16string meaning) {
    SharedState& state = program.state;
    const bool message_open = state.rx_state != 0;
    std::u16string open_code;
    std::u16string open_meaning;
    if (message_open) {
        open_code = std::move(state.log_code[state.log_pos]);
        open_meaning = std::move(state.log_text[state.log_pos]);
    }
    state.log_code[state.log_pos] = std::move(code);
    state.log_text[state.log_pos] = std::move(meaning);
    disp_Command(program);
    if (message_open) {
        state.log_code[state.log_pos] = std::move(open_code);
        state.log_text[state.log_pos] = std::move(open_meaning);
    }
}

std::u16string time_stamp(std::u16string_view time_of_day) {
    std::u16string stamp = u"[";
    stamp += time_of_day;
    stamp += u"] ";
    return stamp;
}

}  // namespace mirvane
