#include "commands/manual_code.h"

#include <string>

#include "decode/status_decoder.h"
#include "link/send.h"
#include "logs/hex_text.h"

namespace mirvane {

namespace {

constexpr std::u16string_view kManualLabelOpen = u"Manual TX-Code (";
constexpr std::u16string_view kManualLabelClose = u")";

}  // namespace

std::optional<std::vector<std::uint8_t>> parse_hex_codes(std::u16string_view text) {
    if (text.empty() || text.size() % 2 != 0) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size() / 2);
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int high = hex_value(text[i]);
        const int low = hex_value(text[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    return bytes;
}

void Command8_Click(Program& program) {
    // Read once, as number dialling reads its number: only what was typed at the press goes out.
    const std::u16string typed = program.window.text(Control::Text6);
    const auto bytes = parse_hex_codes(typed);
    if (!bytes) return;
    for (std::size_t i = 0; i < bytes->size(); ++i) {
        std::u16string label(kManualLabelOpen);
        label += std::u16string_view(typed).substr(2 * i, 2);
        label += kManualLabelClose;
        program.state.hex_code = (*bytes)[i];
        if (!MSComm_send(program, label, program.state.hex_code)) break;
    }
}

void Command7_Click(Program& program) {
    SharedState& state = program.state;
    state.rx_pos = 0;
    state.log_pos = 0;
    reset_status_decoder(state);
    for (int i = 0; i < state.log_size; ++i) {
        state.log_code[i].clear();
        state.log_text[i].clear();
    }
    for (int i = 0; i < state.rx_size; ++i) state.rx_ring[i].clear();
    program.window.set_text(Control::Text1, u"");
    program.window.set_text(Control::Text2, u"");
}

}  // namespace mirvane
