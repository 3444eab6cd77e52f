#include "logs/message_log.h"

#include "logs/session_records.h"

namespace mirvane {

namespace {

void append_entry(const SharedState& state, int slot, PaneText& text) {
    text.append(state.log_code[slot]);
    text.append(kColumnSeparator);
    text.append(state.log_text[slot]);
}

// The whole pane from the log: the entry at log_pos leads even when its slot is empty,
// then every older slot that holds a code.
void build_log_pane(const SharedState& state, PaneText& text) {
    const int n = state.log_size;
    const int p = state.log_pos;
    append_entry(state, p, text);
    for (int i = 2; i <= n; ++i) {
        int k = p - i + 1;
        if (k < 0) k += n;
        if (state.log_code[k].empty()) continue;
        text.append(kLineBreak);
        append_entry(state, k, text);
    }
}

std::size_t entry_length(const SharedState& state, int slot) {
    return state.log_code[slot].size() + kColumnSeparator.size() + state.log_text[slot].size();
}

// The pane at log_pos, starting from the last render when that was made one slot earlier:
// the current entry then goes in front and the entry it replaced comes off the end. Every
// other writer of the log goes through clear_logs, which forgets the render, and the pane
// is drawn whole.
void draw_log_pane(SharedState& state) {
    RenderedPane& pane = state.log_pane;
    const int n = state.log_size;
    const int p = state.log_pos;

    if (pane.drawn && n >= 3 && (pane.pos + 1) % n == p) {
        pane.text.drop_back(pane.oldest_part);
        // The previous first line stays as the second when its slot holds a code; a bare
        // " : " line for an empty slot is shown only on top and goes.
        const int previous = (p + n - 1) % n;
        if (state.log_code[previous].empty()) {
            pane.text.drop_front(entry_length(state, previous));
        } else {
            pane.text.prepend(kLineBreak);
        }
        pane.text.prepend(state.log_text[p]);
        pane.text.prepend(kColumnSeparator);
        pane.text.prepend(state.log_code[p]);
    } else {
        pane.text.clear();
        build_log_pane(state, pane.text);
    }

    // The slot after p is the oldest shown and the next to be committed.
    const int oldest = (p + 1) % n;
    pane.oldest_part = state.log_code[oldest].empty() ? 0 : kLineBreak.size() + entry_length(state, oldest);
    pane.drawn = true;
    pane.pos = static_cast<std::int16_t>(p);
}

}  // namespace

void disp_Command(Program& program) {
    SharedState& state = program.state;
    draw_log_pane(state);
    program.window.show_pane(Control::Text2, state.log_pane.text);
    record_entry(program, state.log_code[state.log_pos], state.log_text[state.log_pos]);
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

void clear_logs(Program& program) {
    SharedState& state = program.state;
    state.rx_pos = 0;
    state.log_pos = 0;
    // Every slot, used or not: the stores then hold nothing whatever the moduli.
    for (auto& text : state.rx_ring) text.clear();
    for (auto& text : state.log_code) text.clear();
    for (auto& text : state.log_text) text.clear();
    for (RenderedPane* pane : {&state.receive_pane, &state.log_pane}) {
        pane->text.clear();
        pane->drawn = false;
    }
    program.window.show_pane(Control::Text1, state.receive_pane.text);
    program.window.show_pane(Control::Text2, state.log_pane.text);
}

std::u16string time_stamp(std::u16string_view time_of_day) {
    std::u16string stamp = u"[";
    stamp += time_of_day;
    stamp += u"] ";
    return stamp;
}

}  // namespace mirvane
