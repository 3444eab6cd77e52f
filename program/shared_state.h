#pragma once
// The program-level variables every handler reaches. One instance lives as long as the
// program and is passed by reference; nothing else in the core holds mutable state.

#include <array>
#include <cstdint>
#include <deque>
#include <string>

#include "program/pane_text.h"

namespace mirvane {

// Fixed storage of the three text arrays; the rings use only the first rx_size/log_size slots.
inline constexpr int kSlotCount = 1001;

// tone_kind after a tone control macro opened: the macro's own kind.
inline constexpr std::uint8_t kToneKindMacro = 15;
// tone_kind after a tone off was logged: no tone has a kind this high, so a repeated tone
// off is recognised and left out until another tone is reported.
inline constexpr std::uint8_t kToneKindOffLogged = 16;
using TextSlots = std::array<std::u16string, kSlotCount>;

struct SharedState {
    std::int16_t rx_size = 0;   // set once by Main
    std::int16_t log_size = 0;  // set once by Main

    TextSlots rx_ring;
    std::int16_t rx_pos = 0;

    TextSlots log_code;
    TextSlots log_text;
    std::int16_t log_pos = 0;

    std::uint8_t rx_state = 0;
    std::uint8_t rx_count = 0;
    std::uint8_t rx_cmd = 0;
    // The last tone kind reported, 0..14; or one of the two values below.
    std::uint8_t tone_kind = 0;
    std::uint8_t rx_level = 0;

    std::u16string dial_number;
    // Dial characters whose codes have been written, oldest first, until every send before
    // theirs has returned: a press inside another's wait returns first, but its byte went
    // out second, and dial_number keeps the order of the bytes.
    struct DialInFlight {
        char16_t character;
        enum class Send : std::uint8_t { waiting, sent, cut_off } send;
    };
    std::deque<DialInFlight> dials_in_flight;

    // What keeps a send honest when the line changes under it: a stop closes the line, and
    // every start opens a new session, so that a send begun before a stop and a start inside
    // its wait gives up too.
    std::uint32_t terminal_session = 0;
    // Sends waiting for the terminal line, each inside the wait of the one before.
    int waiting_sends = 0;
    // The operator has been told that a press was refused, until the waits are over.
    bool told_line_busy = false;
    // The exit has begun: it sends its hang-up byte once and ends however the line behaves.
    bool exiting = false;
    // Set once the exit button has ended the program; waiting sends give up at once.
    bool ended = false;
    // A lost line is waited for, until it is back or the operator presses start, stop or exit.
    bool watching_for_device = false;

    // Message boxes are modal and run events; a box asked for while one is open waits here
    // and is shown after it, so boxes never nest.
    bool box_open = false;
    std::deque<std::u16string> pending_boxes;

    // The two panes as last rendered, so that the next render need only add the items
    // stored since and drop as many of the oldest. Derived from the stores; no decision
    // reads them.
    RenderedPane receive_pane;
    RenderedPane log_pane;
    // The oldest entry of the log pane at the last commit, while the next render of the pane
    // is drawn whole: by then its slot may hold the start of a newer message.
    std::u16string oldest_entry_code;
    std::u16string oldest_entry_text;
};

}  // namespace mirvane
