#include "program/pane_text.h"

#include <algorithm>
#include <cassert>

namespace mirvane {

namespace {
constexpr std::size_t kLeastRoom = 256;
}

void PaneText::clear() {
    begin_ = end_ = buffer_.size() / 2;
    whole_ = true;
    draw_ = nullptr;
}

void PaneText::append(std::u16string_view text) {
    if (buffer_.size() - end_ < text.size()) make_room(0, text.size());
    std::copy(text.begin(), text.end(), buffer_.begin() + static_cast<std::ptrdiff_t>(end_));
    end_ += text.size();
    // New text at the back has no place in a change; only whole renders append.
    whole_ = true;
}

void PaneText::prepend(std::u16string_view text) {
    if (begin_ < text.size()) make_room(text.size(), 0);
    begin_ -= text.size();
    std::copy(text.begin(), text.end(), buffer_.begin() + static_cast<std::ptrdiff_t>(begin_));
    if (!whole_) fresh_ += text.size();
}

void PaneText::drop_front(std::size_t count) {
    assert(count <= size());
    begin_ += count;
    if (whole_) return;
    // New characters go first; only past them does the old text lose its front.
    const std::size_t from_fresh = std::min(count, fresh_);
    fresh_ -= from_fresh;
    cut_front_ += count - from_fresh;
}

void PaneText::drop_back(std::size_t count) {
    assert(count <= size());
    end_ -= count;
    // The old text ends the pane while any of it is left; once all of it is gone the whole
    // text is new, and `fresh` is all of it.
    if (!whole_) cut_back_ += std::min(count, taken_size_ - cut_front_ - cut_back_);
}

PaneChange PaneText::take_change() {
    draw_put_off();
    const PaneChange change{whole_, cut_front_, cut_back_, drawn().substr(0, whole_ ? 0 : fresh_), drawn()};
    whole_ = false;
    taken_size_ = size();
    cut_front_ = cut_back_ = fresh_ = 0;
    return change;
}

void PaneText::make_room(std::size_t front, std::size_t back) {
    // Room for as much again as the text holds on the side that grows, so that moving the
    // text is paid for by the many small additions that fill that room before the next move.
    const std::size_t length = size();
    const std::size_t front_room = front == 0 ? std::max(kLeastRoom, length) : front + length + kLeastRoom;
    const std::size_t back_room = back == 0 ? kLeastRoom : back + length + kLeastRoom;
    const std::size_t needed = front_room + length + back_room;
    const auto text_begin = buffer_.begin() + static_cast<std::ptrdiff_t>(begin_);
    const auto text_end = buffer_.begin() + static_cast<std::ptrdiff_t>(end_);
    if (buffer_.size() < needed) {
        std::vector<char16_t> larger(needed);
        std::copy(text_begin, text_end, larger.begin() + static_cast<std::ptrdiff_t>(front_room));
        buffer_.swap(larger);
        begin_ = front_room;
        end_ = front_room + length;
        return;
    }
    // The buffer is large enough: move the text inside it, leaving the rest behind it.
    const std::size_t new_begin = front == 0 ? front_room : buffer_.size() - back_room - length;
    const auto destination = buffer_.begin() + static_cast<std::ptrdiff_t>(new_begin);
    if (new_begin < begin_) {
        std::copy(text_begin, text_end, destination);
    } else {
        std::copy_backward(text_begin, text_end, destination + static_cast<std::ptrdiff_t>(length));
    }
    begin_ = new_begin;
    end_ = new_begin + length;
}

}  // namespace mirvane
