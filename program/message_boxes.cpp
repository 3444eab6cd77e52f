#include "program/message_boxes.h"

namespace mirvane {

void show_critical(Program& program, std::u16string_view message, std::u16string_view gloss) {
    SharedState& state = program.state;
    if (state.ended) return;
    program.window.warn(u"mirvane: " + std::u16string(message) + u" (" + std::u16string(gloss) + u")");
    state.pending_boxes.emplace_back(message);
    program.window.run_later([&program] { show_pending_boxes(program); });
}

void show_pending_boxes(Program& program) {
    SharedState& state = program.state;
    if (state.box_open) return;
    state.box_open = true;
    while (!state.pending_boxes.empty() && !state.ended) {
        const std::u16string next = std::move(state.pending_boxes.front());
        state.pending_boxes.pop_front();
        program.window.message_box(next);
    }
    state.box_open = false;
}

}  // namespace mirvane
