#pragma once
// The text of a traffic pane as the core last drew it, and what has changed in it since the
// window last took it. The newest item of both panes comes first, so a render adds a line or
// a code at the front and takes the oldest off the end; the window, which draws far less
// often than the core renders, applies all of that at once as one edit of what it shows.
// The core may put a render off until the text is read: a burst of thousands of items is
// then drawn once, from the last of them, instead of item by item.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace mirvane {

struct SharedState;

// How to turn the text the window last took into the text now: keep the old text less
// `cut_front` characters at its front and `cut_back` at its back, and put `fresh` in front
// of what is left. When `whole` is set the old text is no base at all: show `text`.
struct PaneChange {
    bool whole = true;
    std::size_t cut_front = 0;
    std::size_t cut_back = 0;
    std::u16string_view fresh;
    std::u16string_view text;  // the whole text now, whichever way the change is applied
};

class PaneText {
public:
    // The text now, drawn first if its render was put off.
    std::u16string_view view() {
        draw_put_off();
        return drawn();
    }

    // Puts the render off until the text is next read: `draw` then brings it up to date
    // from `store`, once, however often this was called before.
    void draw_later(void (*draw)(SharedState&), SharedState& store) {
        draw_ = draw;
        store_ = &store;
    }

    // Empties the text, keeping the memory; what the window shows is then no base either.
    // A render put off is dropped with it.
    void clear();
    void append(std::u16string_view text);
    void prepend(std::u16string_view text);
    void drop_front(std::size_t count);
    void drop_back(std::size_t count);

    // What changed since the last call, for the window to apply; from here on changes count
    // from the text as it is now. The views are valid until the text changes again.
    PaneChange take_change();

private:
    std::u16string_view drawn() const { return {buffer_.data() + begin_, end_ - begin_}; }
    std::size_t size() const { return end_ - begin_; }
    void draw_put_off() {
        if (draw_ != nullptr) std::exchange(draw_, nullptr)(*store_);
    }

    // Moves the text so that at least `front` characters fit before it and `back` after it.
    void make_room(std::size_t front, std::size_t back);

    std::vector<char16_t> buffer_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;

    // The change since the window last took one: the text now is `fresh_` new characters,
    // then the text taken then less `cut_front_` at its front and `cut_back_` at its back.
    bool whole_ = true;
    std::size_t taken_size_ = 0;
    std::size_t cut_front_ = 0;
    std::size_t cut_back_ = 0;
    std::size_t fresh_ = 0;

    void (*draw_)(SharedState&) = nullptr;  // a render put off
    SharedState* store_ = nullptr;
};

// A pane's last render and how far the store has moved since, so that the next render can
// start from it while fewer slots than the store has were written since.
struct RenderedPane {
    // The store of `slot_count` slots moved on by one to `position`: the text is to show it.
    void moved_to(std::int16_t position, int slot_count) {
        pos = position;
        if (moves < slot_count) ++moves;
    }
    // The next render is drawn whole: there is no last one to start from, or the store has
    // gone round since, or it is too small for a first and a last item apart.
    bool draws_whole(int slot_count) const {
        return !drawn || slot_count < 3 || moves >= slot_count || ends.size() != static_cast<std::size_t>(slot_count);
    }

    PaneText text;
    bool drawn = false;
    std::int16_t pos = 0;  // the store's position at its last move, which the text is to show
    int moves = 0;         // the store's moves since the last render, up to the slot count
    // Characters each slot takes at the end of the text once it is the oldest shown: its
    // item and the separator in front. Kept from when the item was drawn, since the store
    // writes a slot over before the render that takes its old item off the end.
    std::vector<std::size_t> ends;
};

}  // namespace mirvane
