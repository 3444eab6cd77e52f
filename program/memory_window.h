#pragma once
// A window with no toolkit: it keeps captions, texts, enabled states and traffic panes in
// memory. The core tests, the benchmarks and a headless runner all drive the core through
// it; each supplies its own yield, time of day, clock, message box and warning by
// overriding them.

#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "program/window_ops.h"

namespace mirvane {

class MemoryWindow : public WindowOps {
public:
    void show_window() override { ++shows; }
    // Nobody raises an unload here; whoever drives the window runs Form_Unload itself.
    void unload_window() override {}
    void end_program() override { ++ends; }

    void set_caption(Control control, std::u16string_view value) override;
    std::u16string caption(Control control) const override;
    void set_text(Control control, std::u16string_view value) override;
    std::u16string text(Control control) const override;

    // Draws at once unless drawing is held back, as a window that draws later would: from
    // what changed since the last drawing, never from the whole text, so that a wrong change
    // shows as a wrong pane.
    void show_pane(Control control, PaneText& pane) override;
    void draw(Control control);
    // The pane's own text, drawn or not.
    std::u16string_view pane_text(Control control) const { return panes.at(control)->view(); }

    void set_enabled(Control control, bool value) override { enabled[control] = value; }
    void set_keypad_enabled(int index, bool value) override { keypad_enabled[index] = value; }
    bool is_enabled(Control control) const;

    // Boxes and warnings are kept in order; nothing waits for an operator.
    void message_box(std::u16string_view message) override { boxes.emplace_back(message); }
    // Kept until whoever drives the window takes its next turn (run_later_turns).
    void run_later(std::function<void()> turn) override { later_turns.push_back(std::move(turn)); }
    void run_later_turns();
    void warn(std::u16string_view message) override { warnings.emplace_back(message); }
    void yield() override {}
    std::u16string time_of_day() const override;
    std::chrono::milliseconds clock() const override;

    std::map<Control, std::u16string> captions;
    std::map<Control, std::u16string> texts;
    std::map<Control, PaneText*> panes;
    // The last change each pane drew from: whole, cut from the front, from the back, new in front.
    std::map<Control, std::tuple<bool, std::size_t, std::size_t, std::u16string>> changes;
    bool hold_drawing = false;
    std::map<Control, bool> enabled;
    std::map<int, bool> keypad_enabled;
    std::vector<std::u16string> boxes;
    std::deque<std::function<void()>> later_turns;
    std::vector<std::u16string> warnings;
    int shows = 0, ends = 0;
};

}  // namespace mirvane
