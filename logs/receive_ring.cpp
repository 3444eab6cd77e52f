#include "logs/receive_ring.h"

#include "vocabulary/hex_text.h"

namespace mirvane {

namespace {

// The whole pane from the ring: the newest slot leads even when empty; older empty slots
// are skipped.
void build_receive_pane(const SharedState& state, PaneText& text) {
    const int n = state.rx_size;
    const int p = state.rx_pos;
    auto slot = [&](int i) {
        int k = p - i;
        if (k < 0) k += n;
        return k;
    };
    text.append(state.rx_ring[slot(1)]);
    for (int i = 2; i <= n; ++i) {
        const std::u16string& code = state.rx_ring[slot(i)];
        if (code.empty()) continue;
        text.append(u" ");
        text.append(code);
    }
}

// The pane at rx_pos, starting from the last render when that was made one byte earlier:
// the newest code then goes in front and the code of the slot it overwrote comes off the
// end. Anything else is drawn whole.
void draw_receive_pane(SharedState& state) {
    RenderedPane& pane = state.receive_pane;
    const int n = state.rx_size;
    const int p = state.rx_pos;
    const int newest = (p + n - 1) % n;

    if (pane.drawn && n >= 3 && (pane.pos + 1) % n == p) {
        pane.text.drop_back(pane.oldest_part);
        // The previous newest code led without a space; now one separates it, unless that
        // slot is empty and added nothing.
        if (!state.rx_ring[(p + n - 2) % n].empty()) pane.text.prepend(u" ");
        pane.text.prepend(state.rx_ring[newest]);
    } else {
        pane.text.clear();
        build_receive_pane(state, pane.text);
    }

    // Slot p is the oldest shown and the next to be written.
    const std::u16string& oldest = state.rx_ring[p];
    pane.oldest_part = oldest.empty() ? 0 : 1 + oldest.size();
    pane.drawn = true;
    pane.pos = static_cast<std::int16_t>(p);
}

}  // namespace

void store_received_byte(SharedState& state, std::uint8_t byte) {
    state.rx_ring[state.rx_pos] = hex_text(byte);
    state.rx_pos = static_cast<std::int16_t>((state.rx_pos + 1) % state.rx_size);
}

void disp_RxData(Program& program) {
    draw_receive_pane(program.state);
    program.window.show_pane(Control::Text1, program.state.receive_pane.text);
}

}  // namespace mirvane
