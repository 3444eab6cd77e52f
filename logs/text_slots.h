#pragma once
// The fixed array of texts behind the receive ring and the message log. It remembers
// which slots may have been written, so that a render can tell whether the slots it drew
// from are still as it drew them.

#include <array>
#include <cstdint>
#include <string>

namespace mirvane {

// Fixed storage of the three text arrays; the rings use only the first rx_size/log_size slots.
inline constexpr int kSlotCount = 1001;

class TextSlots {
public:
    const std::u16string& operator[](int slot) const { return slots_[static_cast<std::size_t>(slot)]; }

    // Every mutable access counts as a write of that slot, whether or not the text then
    // changes: that is how writers are noticed without asking anything of them. A reference
    // taken here must therefore be written through at once, never kept across a render.
    std::u16string& operator[](int slot) {
        note_write(slot);
        return slots_[static_cast<std::size_t>(slot)];
    }

    static constexpr int size() { return kSlotCount; }

    // How many writes there have been: a mark to compare later states with.
    std::uint64_t writes() const { return writes_; }

    // Whether every write after `mark` went to `slot`; true when there was none.
    bool written_only_at_since(int slot, std::uint64_t mark) const {
        return writes_ <= mark || (latest_slot_ == slot && others_until_ <= mark);
    }

private:
    void note_write(int slot) {
        if (slot != latest_slot_) {
            // Everything up to now was either the old latest slot or older still.
            others_until_ = writes_;
            latest_slot_ = slot;
        }
        ++writes_;
    }

    std::array<std::u16string, kSlotCount> slots_{};
    std::uint64_t writes_ = 0;
    int latest_slot_ = -1;           // the slot of the most recent write
    std::uint64_t others_until_ = 0;  // the last write to any slot but latest_slot_
};

}  // namespace mirvane
