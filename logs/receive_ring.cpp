#include "logs/receive_ring.h"

#include <utility>

#include "vocabulary/hex_text.h"

namespace mirvane {

namespace {

// What a slot's code takes at the end of the pane once it is the oldest: the code and the
// space in front of it, nothing for an empty slot.
std::size_t end_part(const std::u16string& code) { return code.empty() ? 0 : 1 + code.size(); }

// The whole pane with the newest code at slot p - 1: it leads even when empty; older empty
// slots are skipped.
void build_receive_pane(const SharedState& state, int p, RenderedPane& pane) {
    const int n = state.rx_size;
    auto slot = [&](int i) {
        int k = p - i;
        if (k < 0) k += n;
        return k;
    };
    pane.text.append(state.rx_ring[slot(1)]);
    for (int i = 2; i <= n; ++i) {
        const std::u16string& code = state.rx_ring[slot(i)];
        if (code.empty()) continue;
        pane.text.append(u" ");
        pane.text.append(code);
    }
    pane.ends.resize(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) pane.ends[k] = end_part(state.rx_ring[k]);
}

// The pane as the ring was at its last move, starting from the last render while fewer
// bytes than the ring holds came since: each goes in front, and the code its slot held
// comes off the end. Anything else is drawn whole.
void draw_receive_pane(SharedState& state) {
    RenderedPane& pane = state.receive_pane;
    const int n = state.rx_size;
    const int p = pane.pos;
    const bool whole = pane.draws_whole(n);
    const int moves = std::exchange(pane.moves, 0);

    if (!whole) {
        for (int back = moves; back >= 1; --back) {
            const int newest = (p - back + n) % n;
            pane.text.drop_back(pane.ends[newest]);
            // The code before led without a space; now one separates it, unless that slot
            // is empty and added nothing.
            if (!state.rx_ring[(newest + n - 1) % n].empty()) pane.text.prepend(u" ");
            pane.text.prepend(state.rx_ring[newest]);
            pane.ends[newest] = end_part(state.rx_ring[newest]);
        }
    } else {
        pane.text.clear();
        build_receive_pane(state, p, pane);
    }
    pane.drawn = true;
}

}  // namespace

void store_received_byte(SharedState& state, std::uint8_t byte) {
    // Written over in place: a burst of thousands of bytes moves no strings.
    state.rx_ring[state.rx_pos].assign({hex_digit(byte >> 4u), hex_digit(byte)});
    state.rx_pos = static_cast<std::int16_t>((state.rx_pos + 1) % state.rx_size);
}

void disp_RxData(Program& program) {
    SharedState& state = program.state;
    RenderedPane& pane = state.receive_pane;
    pane.moved_to(state.rx_pos, state.rx_size);
    pane.text.draw_later(draw_receive_pane, state);
    program.window.show_pane(Control::Text1, pane.text);
}

}  // namespace mirvane
