#include "logs/message_log.h"

#include <utility>

#include "logs/session_records.h"

namespace mirvane {

namespace {

std::size_t entry_length(std::u16string_view code, std::u16string_view meaning) {
    return code.size() + kColumnSeparator.size() + meaning.size();
}

std::size_t entry_length(const SharedState& state, int slot) {
    return entry_length(state.log_code[slot], state.log_text[slot]);
}

// What an entry takes at the end of the pane once it is the oldest: its line and the break
// in front of it; nothing for an empty slot, which is shown only on top.
std::size_t end_part(std::u16string_view code, std::u16string_view meaning) {
    return code.empty() ? 0 : kLineBreak.size() + entry_length(code, meaning);
}

void append_entry(PaneText& text, std::u16string_view code, std::u16string_view meaning) {
    text.append(code);
    text.append(kColumnSeparator);
    text.append(meaning);
}

// The whole pane with slot p on top, even when it is empty, then every older slot that
// holds a code. The slot after p comes from the copy kept when p was committed: the slot
// itself may hold a message the status decoder has begun since.
void build_log_pane(const SharedState& state, int p, RenderedPane& pane) {
    const int n = state.log_size;
    const int next = (p + 1) % n;
    pane.ends.resize(static_cast<std::size_t>(n));
    for (int i = 1; i <= n; ++i) {
        int k = p - i + 1;
        if (k < 0) k += n;
        const bool oldest = k == next;
        const std::u16string_view code = oldest ? state.oldest_entry_code : state.log_code[k];
        const std::u16string_view meaning = oldest ? state.oldest_entry_text : state.log_text[k];
        pane.ends[k] = end_part(code, meaning);
        if (i > 1 && code.empty()) continue;
        if (i > 1) pane.text.append(kLineBreak);
        append_entry(pane.text, code, meaning);
    }
}

// The pane as the log was at its last commit, starting from the last render while fewer
// entries than the log holds were committed since: each goes on top, and the entry its slot
// held comes off the end. Every other writer of the log goes through clear_logs, which
// forgets the render, and the pane is drawn whole.
void draw_log_pane(SharedState& state) {
    RenderedPane& pane = state.log_pane;
    const int n = state.log_size;
    const int p = pane.pos;
    const bool whole = pane.draws_whole(n);
    const int moves = std::exchange(pane.moves, 0);

    if (!whole) {
        for (int back = moves - 1; back >= 0; --back) {
            const int slot = (p - back + n) % n;
            pane.text.drop_back(pane.ends[slot]);
            // The first line before stays as the second when its slot holds a code; a bare
            // " : " line for an empty slot is shown only on top and goes.
            const int previous = (slot + n - 1) % n;
            if (state.log_code[previous].empty()) {
                pane.text.drop_front(entry_length(state, previous));
            } else {
                pane.text.prepend(kLineBreak);
            }
            pane.text.prepend(state.log_text[slot]);
            pane.text.prepend(kColumnSeparator);
            pane.text.prepend(state.log_code[slot]);
            pane.ends[slot] = end_part(state.log_code[slot], state.log_text[slot]);
        }
    } else {
        pane.text.clear();
        build_log_pane(state, p, pane);
    }
    pane.drawn = true;
}

}  // namespace

void disp_Command(Program& program) {
    SharedState& state = program.state;
    RenderedPane& pane = state.log_pane;
    const int n = state.log_size;
    pane.moved_to(state.log_pos, n);
    // A render drawn whole takes the oldest entry as it is now, before the slot is written
    // over by the next message; one from the last render has it in the text already.
    if (pane.draws_whole(n)) {
        const int oldest = (state.log_pos + 1) % n;
        state.oldest_entry_code = state.log_code[oldest];
        state.oldest_entry_text = state.log_text[oldest];
    }
    pane.text.draw_later(draw_log_pane, state);
    program.window.show_pane(Control::Text2, pane.text);
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
        pane->moves = 0;
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
