#include "link/send.h"

#include <array>
#include <optional>

#include "logs/session_records.h"

namespace mirvane {

namespace {

constexpr std::u16string_view kLineBusy =
    u"mirvane: the terminal line is not taking bytes and many presses wait already; "
    u"this one and those after it send nothing until the line moves again";

bool send(Program& program, std::uint8_t byte, std::optional<std::chrono::milliseconds> limit) {
    SharedState& state = program.state;
    SerialPort& port = program.MSComm1;
    if (state.ended || !port.is_open()) return false;
    if (!limit && state.waiting_sends >= kMostWaitingSends) {
        if (!state.told_line_busy) program.window.warn(kLineBusy);
        state.told_line_busy = true;
        return false;
    }

    const std::uint32_t session = state.terminal_session;
    const auto deadline = limit ? std::optional(program.window.clock() + *limit) : std::nullopt;
    const std::array<std::uint8_t, 1> bytes{byte};
    port.output(bytes);
    record_send(program, byte);

    // Handlers run inside the yield, the stop button among them: after each turn the port
    // may be gone, and then the wait is over.
    ++state.waiting_sends;
    bool left = false;
    for (;;) {
        program.window.yield();
        if (state.ended || state.terminal_session != session || !port.is_open()) break;
        if (port.out_buffer_count() == 0) {
            left = true;
            break;
        }
        if (deadline && program.window.clock() >= *deadline) break;
    }
    if (--state.waiting_sends == 0) state.told_line_busy = false;
    return left;
}

}  // namespace

bool MSComm_send(Program& program, const std::u16string& /*c*/, const std::uint8_t& buff) {
    return send(program, buff, std::nullopt);
}

bool send_within(Program& program, std::uint8_t code, std::chrono::milliseconds limit) {
    return send(program, code, limit);
}

}  // namespace mirvane
