#pragma once
// The text of a pane as last rendered, kept with room in front of it: the newest item of
// both panes comes first, so the next render adds one line at the front and takes the
// oldest off the end, at the cost of those two lines instead of the whole pane.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace mirvane {

class PaneText {
public:
    std::u16string_view view() const { return {buffer_.data() + begin_, end_ - begin_}; }
    std::size_t size() const { return end_ - begin_; }

    // Empties the text and keeps the memory, with room both ways.
    void clear();
    void append(std::u16string_view text);
    void prepend(std::u16string_view text);
    void drop_front(std::size_t count);
    void drop_back(std::size_t count);

private:
    // Moves the text so that at least `front` characters fit before it and `back` after it.
    void make_room(std::size_t front, std::size_t back);

    std::vector<char16_t> buffer_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
};

// A pane's last render and what it was drawn from, so that the next render can start
// from it when nothing but the newest slot has changed since.
struct RenderedPane {
    PaneText text;
    bool drawn = false;
    std::int16_t size = 0;  // the store's modulus at that render
    std::int16_t pos = 0;   // the store's position at that render
    // Write counts of the arrays drawn from, just after the render: the ring; or the codes
    // and the meanings.
    std::array<std::uint64_t, 2> store_marks{};
    // Characters the oldest slot takes at the end of the text; that slot is the next to be
    // overwritten, so its part goes first.
    std::size_t oldest_part = 0;
};

}  // namespace mirvane
