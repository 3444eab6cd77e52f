#pragma once
// A window that records what the logic sets, for tests. Yields run the actions a test
// schedules, so a test can press buttons or deliver port events in the middle of a send.

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "program/window_ops.h"

namespace mirvane::testing {

class FakeWindow : public WindowOps {
public:
    void show_window() override { ++shows; }
    void unload_window() override { on_unload(); }
    void end_program() override { ++ends; }

    void set_caption(Control control, std::u16string_view value) override { captions[control] = value; }
    std::u16string caption(Control control) const override { return find(captions, control); }

    void set_text(Control control, std::u16string_view value) override { texts[control] = value; }
    std::u16string text(Control control) const override { return find(texts, control); }

    // Draws at once unless drawing is held back, as a window that draws later would: from
    // what changed since the last drawing, never from the whole text, so that a wrong change
    // shows as a wrong pane.
    void show_pane(Control control, PaneText& pane) override {
        panes[control] = &pane;
        if (!hold_drawing) draw(control);
        if (on_pane_shown) on_pane_shown(control);
    }
    void draw(Control control) {
        const auto [whole, cut_front, cut_back, fresh, text] = panes.at(control)->take_change();
        changes[control] = {whole, cut_front, cut_back, std::u16string(fresh)};
        std::u16string& shown = texts[control];
        shown = whole ? std::u16string(text)
                      : std::u16string(fresh) + shown.substr(cut_front, shown.size() - cut_front - cut_back);
    }

    void set_enabled(Control control, bool value) override { enabled[control] = value; }
    void set_keypad_enabled(int index, bool value) override { keypad_enabled[index] = value; }
    bool is_enabled(Control control) const { return enabled.contains(control) && enabled.at(control); }

    void message_box(std::u16string_view message) override {
        deepest_boxes = std::max(deepest_boxes, ++open_boxes);
        boxes.emplace_back(message);
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
    void warn(std::u16string_view message) override { warnings.emplace_back(message); }

    std::map<Control, std::u16string> captions;
    std::map<Control, std::u16string> texts;
    std::map<Control, PaneText*> panes;
    // The last change each pane drew from: whole, cut from the front, from the back, new in front.
    std::map<Control, std::tuple<bool, std::size_t, std::size_t, std::u16string>> changes;
    bool hold_drawing = false;
    std::map<Control, bool> enabled;
    std::map<int, bool> keypad_enabled;
    std::vector<std::u16string> boxes;
    int open_boxes = 0, deepest_boxes = 0, yields = 0, shows = 0, ends = 0;
    std::u16string now = u"10:15:01";
    mutable std::chrono::milliseconds elapsed{0};
    std::vector<std::u16string> warnings;

    // One action per yield, in order; afterwards after_yield runs on every yield.
    std::deque<std::function<void()>> yield_actions;
    std::function<void()> after_yield, while_box_open, on_unload;
    std::function<void(Control)> on_pane_shown;

private:
    template <typename Map>
    static std::u16string find(const Map& map, Control control) {
        const auto it = map.find(control);
        return it == map.end() ? std::u16string() : std::u16string(it->second);
    }
};

}  // namespace mirvane::testing
