#pragma once
// The two pane texts computed the plain way, straight from the stores at the moment of the
// render: every slot visited in order, nothing remembered between renders. Whatever the core
// does to render and the window to draw faster, what the window shows must equal these.

#include <functional>
#include <map>
#include <string>

#include "program/shared_state.h"
#include "support/fake_window.h"

namespace mirvane::testing {

// The receive pane at rx_pos: the newest slot first (even when empty), then every older
// slot that holds a code, each after one space.
inline std::u16string reference_receive_pane(const SharedState& state) {
    std::u16string text;
    for (int i = 1; i <= state.rx_size; ++i) {
        const std::u16string& code = state.rx_ring[(state.rx_pos - i + state.rx_size) % state.rx_size];
        if (i == 1) text = code;
        else if (!code.empty()) text += u" " + code;
    }
    return text;
}

// The log pane at log_pos, before log_pos moves on: the current slot first (even when
// empty), then every older slot whose code is not empty, each on its own CR LF line.
inline std::u16string reference_log_pane(const SharedState& state) {
    std::u16string text;
    for (int i = 1; i <= state.log_size; ++i) {
        const int k = (state.log_pos - i + 1 + state.log_size) % state.log_size;
        if (i > 1 && state.log_code[k].empty()) continue;
        if (i > 1) text += u"\r\n";
        text += state.log_code[k] + u" : " + state.log_text[k];
    }
    return text;
}

// Holds the window to the plain renders: each time the core shows a pane, what the window
// draws from then on must be the plain render of that moment (empty while clearing, which
// sets the panes empty on purpose). `fail` hears the first difference.
struct PaneChecker {
    FakeWindow& window;
    const SharedState& state;
    std::function<void(const char* pane)> fail;
    bool clearing = false;
    std::map<Control, std::u16string> expected{};
    int checked = 0;

    void attach() {
        window.on_pane_shown = [this](Control pane) {
            expected[pane] = clearing                 ? u""
                             : pane == Control::Text1 ? reference_receive_pane(state)
                                                      : reference_log_pane(state);
            if (!window.hold_drawing) check(pane);
        };
    }
    // Draws whatever is held back, as a window's paint does, and checks both panes.
    void draw_and_check() {
        for (const Control pane : {Control::Text1, Control::Text2}) {
            if (!window.panes.contains(pane)) continue;
            window.draw(pane);
            check(pane);
        }
    }
    void check(Control pane) {
        ++checked;
        if (window.text(pane) != expected[pane]) fail(pane == Control::Text1 ? "receive pane" : "log pane");
    }
};

}  // namespace mirvane::testing
