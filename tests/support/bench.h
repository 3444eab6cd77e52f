#pragma once
// The core wired to fakes and started as the program starts: Main has run, the window is
// idle. Helpers feed the two lines and press buttons.

#include <initializer_list>
#include <string>

#include "link/comm_events.h"
#include "monitor/monitor_decoder.h"
#include "shell/program.h"
#include "shell/startup.h"
#include "support/fake_serial_port.h"
#include "support/fake_window.h"

namespace mirvane::testing {

struct Bench {
    SharedState state;
    FakeWindow window;
    FakeSerialPort terminal{u"/dev/ttyS0"};
    FakeSerialPort monitor{u"/dev/ttyS1"};
    Program program{state, window, terminal, monitor};

    Bench() {
        window.on_unload = [this] { Form_Unload(program); };
        // By default every yield lets the terminal line carry what was written.
        window.after_yield = [this] { terminal.drain(); };
        Main(program);
    }

    void receive(std::initializer_list<std::uint8_t> bytes) {
        terminal.received.insert(terminal.received.end(), bytes.begin(), bytes.end());
        terminal.event = comm_event::kReceive;
        MSComm1_OnComm(program);
    }

    void tap(std::initializer_list<std::uint8_t> bytes) {
        monitor.received.insert(monitor.received.end(), bytes.begin(), bytes.end());
        monitor.event = comm_event::kReceive;
        MSComm2_OnComm(program);
    }

    std::u16string receive_pane() const { return window.text(Control::Text1); }
    std::u16string log_pane() const { return window.text(Control::Text2); }

    // The first line of the log pane: the entry committed last.
    std::u16string top_line() const {
        const std::u16string pane = log_pane();
        return pane.substr(0, pane.find(u"\r\n"));
    }
};

}  // namespace mirvane::testing
