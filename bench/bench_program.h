#pragma once
// The core wired to the cheapest window and ports there can be: the window only keeps the
// last text of each control and notes which pane changed, as a binding that draws later
// would, and the ports are idle. What the benchmarks time is then the core's own work.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "program/program.h"
#include "shell/startup.h"

namespace mirvane::bench {

class StoringWindow : public WindowOps {
public:
    void show_window() override {}
    void unload_window() override {}
    void end_program() override {}
    void set_caption(Control control, std::u16string_view caption) override { captions_[index(control)] = caption; }
    std::u16string caption(Control control) const override { return captions_[index(control)]; }
    void set_text(Control control, std::u16string_view text) override { texts_[index(control)] = text; }
    std::u16string text(Control control) const override { return texts_[index(control)]; }
    // A window that draws later only notes which text to take its change from.
    void show_pane(Control control, PaneText& pane) override { panes_[index(control)] = &pane; }
    void set_enabled(Control, bool) override {}
    void set_keypad_enabled(int, bool) override {}
    void message_box(std::u16string_view) override {}
    void yield() override {}
    std::u16string time_of_day() const override { return u"10:15:01"; }
    std::chrono::milliseconds clock() const override { return {}; }
    void warn(std::u16string_view) override {}

    std::u16string_view shown(Control control) const { return panes_[index(control)]->view(); }

private:
    static constexpr std::size_t kControls = static_cast<std::size_t>(Control::Label7) + 1;
    static std::size_t index(Control control) { return static_cast<std::size_t>(control); }
    std::array<std::u16string, kControls> captions_{};
    std::array<std::u16string, kControls> texts_{};
    std::array<PaneText*, kControls> panes_{};
};

class IdlePort : public SerialPort {
public:
    void set_comm_port(std::int16_t) override {}
    void set_settings(std::u16string_view) override {}
    void set_rthreshold(std::int16_t) override {}
    void set_sthreshold(std::int16_t) override {}
    void set_input_mode(std::int16_t) override {}
    std::u16string device_name() const override { return u"/dev/null"; }
    std::optional<OpenFailure> open() override { return std::nullopt; }
    void close() override {}
    bool is_open() const override { return false; }
    void output(std::span<const std::uint8_t>) override {}
    int out_buffer_count() const override { return 0; }
    std::vector<std::uint8_t> input() override { return {}; }
    std::int16_t comm_event() const override { return 0; }
};

// Started as the program starts: Main has run, both stores are empty.
struct BenchProgram {
    SharedState state;
    StoringWindow window;
    IdlePort terminal;
    IdlePort monitor;
    Program program{state, window, terminal, monitor};

    BenchProgram() { Main(program); }
};

// The status mix of the end-to-end measurements: two one-byte codes, a level (logged only
// the first time), a tone, a four-parameter message and a byte without meaning.
inline std::vector<std::uint8_t> status_mix(std::size_t bytes) {
    static constexpr std::array<std::uint8_t, 10> kPattern{0x80, 0x81, 0xC3, 0x21, 0xAD, 0x31, 0x32, 0x33, 0x34, 0x00};
    std::vector<std::uint8_t> mix(bytes);
    for (std::size_t i = 0; i < bytes; ++i) mix[i] = kPattern[i % kPattern.size()];
    return mix;
}

}  // namespace mirvane::bench
