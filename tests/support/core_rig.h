#pragma once
// The core wired to the in-memory window and fake ports, started as the program starts: Main has run, the window is
// idle. Helpers feed the two lines and press buttons.

#include <string>
#include <vector>

#include "decode/status_decoder.h"
#include "monitor/monitor_decoder.h"
#include "program/program.h"
#include "shell/communication.h"
#include "shell/startup.h"
#include "support/fake_serial_port.h"
#include "support/fake_window.h"

namespace mirvane::testing {

using Bytes = std::vector<std::uint8_t>;

struct CoreRig {
    SharedState state;
    FakeWindow window;
    FakeSerialPort terminal{u"/dev/ttyS0"};
    FakeSerialPort monitor{u"/dev/ttyS1"};
    Program program{state, window, terminal, monitor};

    explicit CoreRig(bool started = false) {
        window.on_unload = [this] { Form_Unload(program); };
        // By default every yield lets the terminal line carry what was written.
        window.after_yield = [this] { terminal.drain(); };
        Main(program);
        if (started) Command1_Click(program);
    }

    void receive(const Bytes& bytes) { deliver(terminal, bytes, MSComm1_OnComm); }
    void tap(const Bytes& bytes) { deliver(monitor, bytes, MSComm2_OnComm); }
    // A line event other than received bytes (a break, a line state) on either line.
    void raise(FakeSerialPort& port, std::int16_t event) {
        port.event = event;
        (&port == &terminal ? MSComm1_OnComm : MSComm2_OnComm)(program);
        turn();
    }
    // The event loop's next turn, after a handler has returned: what it left for later (a box) runs.
    void turn() { window.run_later_turns(); }
    // Runs an action inside the next wait of a send.
    void during_next_wait(std::function<void()> action) { window.yield_actions.push_back(std::move(action)); }

    std::u16string receive_pane() const { return window.text(Control::Text1); }
    std::u16string log_pane() const { return window.text(Control::Text2); }

private:
    void deliver(FakeSerialPort& port, const Bytes& bytes, void (*on_comm)(Program&)) {
        port.received.insert(port.received.end(), bytes.begin(), bytes.end());
        port.event = comm_event::kReceive;
        on_comm(program);
        turn();
    }
};

}  // namespace mirvane::testing
