#pragma once
// The two pane texts computed the plain way, straight from the stores at the moment of
// the render: every slot visited in order, nothing remembered between renders. Whatever
// the core does to render faster, the text it sets must equal these.

#include <string>

#include "shell/shared_state.h"

namespace mirvane::testing {

// The receive pane at rx_pos: the newest slot first (even when empty), then every older
// slot that holds a code, each after one space.
inline std::u16string reference_receive_pane(const SharedState& state) {
    const int n = state.rx_size;
    const int p = state.rx_pos;
    std::u16string text;
    for (int i = 1; i <= n; ++i) {
        int k = p - i;
        if (k < 0) k += n;
        const std::u16string& code = state.rx_ring[k];
        if (i == 1) {
            text = code;
        } else if (!code.empty()) {
            text += u" ";
            text += code;
        }
    }
    return text;
}

// The log pane at log_pos, before log_pos moves on: the current slot first (even when
// empty), then every older slot whose code is not empty, each on its own CR LF line.
inline std::u16string reference_log_pane(const SharedState& state) {
    const int n = state.log_size;
    const int p = state.log_pos;
    std::u16string text;
    for (int i = 1; i <= n; ++i) {
        int k = p - i + 1;
        if (k < 0) k += n;
        if (i > 1) {
            if (state.log_code[k].empty()) continue;
            text += u"\r\n";
        }
        text += state.log_code[k];
        text += u" : ";
        text += state.log_text[k];
    }
    return text;
}

}  // namespace mirvane::testing
