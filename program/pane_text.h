#pragma once
// The text of a traffic pane as the core last drew it, and what has changed in it since the
// window last took it. The newest item of both panes comes first, so a render adds a line or
// a code at the front and takes the oldest off the end; the window, which draws far less
// often than the core renders, applies all of that at once as one edit of what it shows.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace mirvane {

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
    std::u16string_view view() const { return {buffer_.data() + begin_, end_ - begin_}; }
    std::size_t size() const { return end_ - begin_; }

    // Empties the text, keeping the memory; what the window shows is then no base either.
    void clear();
    void append(std::u16string_view text);
    void prepend(std::u16string_view text);
    void drop_front(std::size_t count);
    void drop_back(std::size_t count);

    // What changed since the last call, for the window to apply; from here on changes count
    // from the text as it is now. The views are valid until the text changes again.
    PaneChange take_change();

private:
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
};

// A pane's last render and the store's position at it, so that the next render can start
// from it when the store has moved on by exactly one slot since.
struct RenderedPane {
    PaneText text;
    bool drawn = false;
    std::int16_t pos = 0;  // the store's position at that render
    // Characters the oldest slot takes at the end of the text; that slot is the next to be
    // overwritten, so its part goes first.
    std::size_t oldest_part = 0;
};

}  // namespace mirvane
