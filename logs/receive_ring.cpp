#include "logs/receive_ring.h"

#include "logs/hex_text.h"

namespace mirvane {

namespace {

// The whole pane from the ring: the newest slot leads even when empty; older empty slots
// are skipped.
template <typename Text>
void build_receive_pane(const SharedState& state, Text& text) {
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

// The pane at rx_pos, starting from the last render when that was made one slot earlier
// and no slot but the newest has been written since: the newest code then goes in front
// and the code of the slot it overwrote comes off the end. Anything else is drawn whole.
std::u16string_view draw_receive_pane(SharedState& state) {
    const SharedState& stores = state;  // read-only access leaves the write marks alone
    RenderedPane& pane = state.receive_pane;
    const int n = stores.rx_size;
    const int p = stores.rx_pos;
    const int newest = (p + n - 1) % n;

    const bool follows_last_render = pane.drawn && pane.size == n && n >= 3 &&
                                     (pane.pos + 1) % n == p &&
                                     stores.rx_ring.written_only_at_since(newest, pane.store_marks[0]);
    if (follows_last_render) {
        pane.text.drop_back(pane.oldest_part);
        // The previous newest code led without a space; now one separates it, unless that
        // slot is empty and added nothing.
        if (!stores.rx_ring[(p + n - 2) % n].empty()) pane.text.prepend(u" ");
        pane.text.prepend(stores.rx_ring[newest]);
    } else {
        pane.text.clear();
        build_receive_pane(stores, pane.text);
    }

    // Slot p is the oldest shown and the next to be written.
    const std::u16string& oldest = stores.rx_ring[p];
    pane.oldest_part = oldest.empty() ? 0 : 1 + oldest.size();
    pane.drawn = true;
    pane.size = static_cast<std::int16_t>(n);
    pane.pos = static_cast<std::int16_t>(p);
    pane.store_marks = {stores.rx_ring.writes(), 0};
    return pane.text.view();
}

}  // namespace

void store_received_byte(SharedState& state, std::uint8_t byte) {
    state.rx_ring[state.rx_pos] = hex_text(byte);
    state.rx_pos = static_cast<std::int16_t>((state.rx_pos + 1) % state.rx_size);
}

std::u16string render_receive_pane(const SharedState& state) {
    std::u16string text;
    text.reserve(static_cast<std::size_t>(state.rx_size) * 3);
    build_receive_pane(state, text);
    return text;
}

void disp_RxData(Program& program) {
    program.window.set_text(Control::Text1, draw_receive_pane(program.state));
}

}  // namespace mirvane
