#include "program/message_boxes.h"

namespace mirvane {

void show_critical(Program& program, std::u16string_view message) {
    SharedState& state = program.state;
    if (state.ended) return;
    if (state.box_open) {
        state.pending_boxes.emplace_back(message);
        return;
    }
    state.box_open = true;
    program.window.message_box(message);
    while (!state.pending_boxes.empty() && !state.ended) {
        const std::u16string next = std::move(state.pending_boxes.front());
        state.pending_boxes.pop_front();
        program.window.message_box(next);
    }
    state.box_open = false;
}

void queue_critical(Program& program, std::u16string_view message) {
    if (!program.state.ended) program.state.pending_boxes.emplace_back(message);
}

void show_pending_boxes(Program& program) {
    SharedState& state = program.state;
    if (state.box_open || state.pending_boxes.empty()) return;
    const std::u16string first = std::move(state.pending_boxes.front());
    state.pending_boxes.pop_front();
    show_critical(program, first);
}

}  // namespace mirvane
