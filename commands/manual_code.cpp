#include "commands/manual_code.h"

#include <string>

#include "decode/status_decoder.h"
#include "link/send.h"
#include "logs/message_log.h"
#include "logs/session_records.h"
#include "vocabulary/hex_text.h"

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
        const std::uint8_t hex_code = (*bytes)[i];
        if (!MSComm_send(program, label, hex_code)) break;
    }
}

void Command7_Click(Program& program) {
    record_unfinished(program);
    clear_logs(program);
    reset_status_decoder(program.state);
    record_clear(program);
}

}  // namespace mirvane
