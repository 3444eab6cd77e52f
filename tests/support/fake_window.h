#pragma once
// The in-memory window with a script: yields run the actions a test schedules, so a test can
// press buttons or deliver port events in the middle of a send; the clock is fixed and moves
// only when asked, and a box notes how many are open at once.

#include <deque>
#include <functional>

#include "program/memory_window.h"

namespace mirvane::testing {

class FakeWindow : public MemoryWindow {
public:
    void unload_window() override { on_unload(); }

    void show_pane(Control control, PaneText& pane) override {
        MemoryWindow::show_pane(control, pane);
        if (on_pane_shown) on_pane_shown(control);
    }

    void message_box(std::u16string_view message) override {
        deepest_boxes = std::max(deepest_boxes, ++open_boxes);
        MemoryWindow::message_box(message);
        // Events run while a modal box is open; a test can deliver some here.
        if (while_box_open) while_box_open();
        --open_boxes;
    }

    void yield() override {
        ++yields;
        if (!yield_actions.empty()) {
            auto action = std::move(yield_actions.front());
            yield_actions.pop_front();
            action();
        }
        if (after_yield) after_yield();
    }

    std::u16string time_of_day() const override { return now; }
    // Every call moves the clock on, so that a wait counting on it ends.
    std::chrono::milliseconds clock() const override { return elapsed += std::chrono::milliseconds(1); }

    int open_boxes = 0, deepest_boxes = 0, yields = 0;
    std::u16string now = u"10:15:01";
    mutable std::chrono::milliseconds elapsed{0};

    // One action per yield, in order; afterwards after_yield runs on every yield.
    std::deque<std::function<void()>> yield_actions;
    std::function<void()> after_yield, while_box_open, on_unload;
    std::function<void(Control)> on_pane_shown;
};

}  // namespace mirvane::testing
