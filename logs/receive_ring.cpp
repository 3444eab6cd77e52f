#include "logs/receive_ring.h"

#include "logs/hex_text.h"

namespace mirvane {

void store_received_byte(SharedState& state, std::uint8_t byte) {
    state.rx_ring[state.rx_pos] = hex_text(byte);
    state.rx_pos = static_cast<std::int16_t>((state.rx_pos + 1) % state.rx_size);
}

std::u16string render_receive_pane(const SharedState& state) {
    const int n = state.rx_size;
    const int p = state.rx_pos;
    auto slot = [&](int i) {
        int k = p - i;
        if (k < 0) k += n;
        return k;
    };
    std::u16string text;
    text.reserve(static_cast<std::size_t>(n) * 3);
    // The newest slot leads even when empty; older empty slots are skipped.
    text = state.rx_ring[slot(1)];
    for (int i = 2; i <= n; ++i) {
        const std::u16string& code = state.rx_ring[slot(i)];
        if (code.empty()) continue;
        text += u' ';
        text += code;
    }
    return text;
}

void disp_RxData(Program& program) {
    program.window.set_text(Control::Text1, render_receive_pane(program.state));
}

}  // namespace mirvane
