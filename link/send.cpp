#include "link/send.h"

#include <array>

namespace mirvane {

bool MSComm_send(Program& program, const std::u16string& /*c*/, const std::uint8_t& buff) {
    SharedState& state = program.state;
    SerialPort& port = program.MSComm1;
    if (state.ended || !port.is_open()) return false;

    const std::uint32_t session = state.terminal_session;
    const std::array<std::uint8_t, 1> bytes{buff};
    port.output(bytes);

    // Handlers run inside the yield, the stop button among them: after each turn the port
    // may be gone, and then the wait is over.
    for (;;) {
        program.window.yield();
        if (state.ended || state.terminal_session != session || !port.is_open()) return false;
        if (port.out_buffer_count() == 0) return true;
    }
}

}  // namespace mirvane
