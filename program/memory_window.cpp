#include "program/memory_window.h"

#include <ctime>

namespace mirvane {

namespace {

template <typename Map>
std::u16string find(const Map& map, Control control) {
    const auto it = map.find(control);
    return it == map.end() ? std::u16string() : std::u16string(it->second);
}

}  // namespace

void MemoryWindow::set_caption(Control control, std::u16string_view value) { captions[control] = value; }
std::u16string MemoryWindow::caption(Control control) const { return find(captions, control); }
void MemoryWindow::set_text(Control control, std::u16string_view value) { texts[control] = value; }
std::u16string MemoryWindow::text(Control control) const { return find(texts, control); }

void MemoryWindow::show_pane(Control control, PaneText& pane) {
    panes[control] = &pane;
    if (!hold_drawing) draw(control);
}

void MemoryWindow::draw(Control control) {
    const auto [whole, cut_front, cut_back, fresh, text] = panes.at(control)->take_change();
    changes[control] = {whole, cut_front, cut_back, std::u16string(fresh)};
    std::u16string& shown = texts[control];
    shown = whole ? std::u16string(text)
                  : std::u16string(fresh) + shown.substr(cut_front, shown.size() - cut_front - cut_back);
}

void MemoryWindow::run_later_turns() {
    // A turn may ask for another; it runs in this round too, as the event loop would run it.
    while (!later_turns.empty()) {
        const std::function<void()> turn = std::move(later_turns.front());
        later_turns.pop_front();
        turn();
    }
}

bool MemoryWindow::is_enabled(Control control) const {
    const auto it = enabled.find(control);
    return it != enabled.end() && it->second;
}

std::u16string MemoryWindow::time_of_day() const {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[9] = {};
    std::strftime(text, sizeof text, "%H:%M:%S", &local);
    return std::u16string(text, text + 8);
}

std::chrono::milliseconds MemoryWindow::clock() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch());
}

}  // namespace mirvane
