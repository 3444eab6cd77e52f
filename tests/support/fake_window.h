#pragma once
// A window that records what the logic sets, for tests. Yields run the actions a test
// schedules, so a test can press buttons or deliver port events in the middle of a send.

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "shell/window_ops.h"

namespace mirvane::testing {

class FakeWindow : public WindowOps {
public:
    void show_window() override { ++shows; }
    void unload_window() override {
        ++unloads;
        if (on_unload) on_unload();
    }
    void end_program() override { ++ends; }

    void set_caption(Control control, std::u16string_view value) override {
        captions[control] = std::u16string(value);
    }
    std::u16string caption(Control control) const override {
        const auto it = captions.find(control);
        return it == captions.end() ? std::u16string() : it->second;
    }

    void set_text(Control control, std::u16string_view value) override {
        texts[control] = std::u16string(value);
        ++text_sets[control];
    }
    std::u16string text(Control control) const override {
        const auto it = texts.find(control);
        return it == texts.end() ? std::u16string() : it->second;
    }

    void set_enabled(Control control, bool value) override {
        enabled[control] = value;
        enable_calls.push_back(control);
    }
    void set_keypad_enabled(int index, bool value) override { keypad_enabled[index] = value; }

    void message_box(std::u16string_view message) override {
        ++open_boxes;
        if (open_boxes > deepest_boxes) deepest_boxes = open_boxes;
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

    bool is_enabled(Control control) const {
        const auto it = enabled.find(control);
        return it != enabled.end() && it->second;
    }
    bool is_keypad_enabled(int index) const {
        const auto it = keypad_enabled.find(index);
        return it != keypad_enabled.end() && it->second;
    }
    int sets_of(Control control) const {
        const auto it = text_sets.find(control);
        return it == text_sets.end() ? 0 : it->second;
    }

    std::map<Control, std::u16string> captions;
    std::map<Control, std::u16string> texts;
    std::map<Control, int> text_sets;
    std::map<Control, bool> enabled;
    std::vector<Control> enable_calls;
    std::map<int, bool> keypad_enabled;
    std::vector<std::u16string> boxes;
    int open_boxes = 0;
    int deepest_boxes = 0;
    int yields = 0;
    int shows = 0;
    int unloads = 0;
    int ends = 0;
    std::u16string now = u"10:15:01";

    // One action per yield, in order; afterwards after_yield runs on every yield.
    std::deque<std::function<void()>> yield_actions;
    std::function<void()> after_yield;
    std::function<void()> while_box_open;
    std::function<void()> on_unload;
};

}  // namespace mirvane::testing
