#pragma once
// What the fuzz targets share: the core on the test fakes, its panes held to the plain
// render whenever the window draws, and the invariants of the stores and of the decoder. A
// broken invariant aborts with its reason, so the fuzzer keeps the input that broke it.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <tuple>
#include <vector>

#include "commands/manual_code.h"
#include "decode/status_catalogue.h"
#include "logs/hex_text.h"
#include "support/bench.h"
#include "support/reference_panes.h"

namespace mirvane::fuzzing {

inline void require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

inline bool is_hex_pair(std::u16string_view text) {
    return text.size() == 2 && std::all_of(text.begin(), text.end(), [](char16_t ch) {
               return (ch >= u'0' && ch <= u'9') || (ch >= u'A' && ch <= u'F');
           });
}

// A committed code pattern: five columns, either the status code first, its parameters
// ("xx" for mail) and then "__", or four "__" and the monitor code last.
inline bool is_committed_pattern(std::u16string_view code) {
    if (code.size() != 14 || code[2] != u' ' || code[5] != u' ' || code[8] != u' ' || code[11] != u' ') return false;
    if (code.starts_with(u"__ __ __ __ ")) return is_hex_pair(code.substr(12));
    bool placeholders = false;
    for (int i = 1; i < 5; ++i) {
        const std::u16string_view column = code.substr(3 * i, 2);
        if (column == u"__") placeholders = true;
        else if (placeholders || !(is_hex_pair(column) || column == u"xx")) return false;
    }
    return is_hex_pair(code.substr(0, 2));
}

// "[hh:mm:ss] " in front of a meaning with no line break in it.
inline bool is_stamped(std::u16string_view meaning) {
    return meaning.size() >= 11 && meaning[0] == u'[' && meaning.substr(9, 2) == u"] " &&
           meaning.find_first_of(u"\r\n") == std::u16string_view::npos;
}

// The core on fakes, started as the program starts. The first input byte may shrink the
// rings, so that short inputs reach their wrap (any modulus from 1 up is valid).
struct FuzzBench : testing::Bench {
    testing::PaneChecker panes{window, state, [](const char* pane) { require(false, pane); }};
    int reads = 0;

    explicit FuzzBench(std::uint8_t ring_selector = 0) : Bench(true) {
        if (ring_selector >= 0x80) {
            state.rx_size = static_cast<std::int16_t>(1 + (ring_selector & 0x07));
            state.log_size = static_cast<std::int16_t>(1 + ((ring_selector >> 3) & 0x07));
        }
        panes.attach();
    }

    // Every read at a new second, so that stamps of different reads differ.
    void next_second() {
        const int t = reads++;
        window.now.clear();
        for (const int field : {(t / 3600) % 24, (t / 60) % 60, t % 60}) {
            if (!window.now.empty()) window.now += u':';
            window.now += {static_cast<char16_t>(u'0' + field / 10), static_cast<char16_t>(u'0' + field % 10)};
        }
    }
    void receive(std::span<const std::uint8_t> bytes) {
        next_second();
        Bench::receive({bytes.begin(), bytes.end()});
    }
    void tap(std::span<const std::uint8_t> bytes) {
        next_second();
        const int log_pos = state.log_pos;
        const auto decoder = std::tuple(state.rx_state, state.rx_count, state.rx_cmd, state.rx_pos);
        Bench::tap({bytes.begin(), bytes.end()});
        require(decoder == std::tuple(state.rx_state, state.rx_count, state.rx_cmd, state.rx_pos),
                "a monitor byte moved the status decoder");
        require(state.log_pos == (log_pos + static_cast<int>(bytes.size())) % state.log_size,
                "a monitor byte did not take exactly one slot");
    }
    void clear() {
        panes.clearing = true;
        Command7_Click(program);
        panes.clearing = false;
    }

    void check() const {
        require(state.rx_pos >= 0 && state.rx_pos < state.rx_size, "rx_pos out of range");
        require(state.log_pos >= 0 && state.log_pos < state.log_size, "log_pos out of range");
        if (state.rx_state == 0) {
            require(state.rx_count == 0 && state.rx_cmd == 0, "a ready decoder with a message left over");
        } else {
            const StatusRow* opener = find_status_row(state.rx_cmd);
            require(opener != nullptr && opener->parameters == state.rx_state && state.rx_count < state.rx_state,
                    "collecting for a code that opens no such message");
        }
        for (int k = 0; k < kSlotCount; ++k) {
            require(state.rx_ring[k].empty() || (k < state.rx_size && is_hex_pair(state.rx_ring[k])),
                    "a ring slot that is not two hex digits, or beyond the ring");
            const std::u16string& code = state.log_code[k];
            if (code.empty() || k >= state.log_size) {
                require(code.empty() && state.log_text[k].empty(), "a meaning without a code, or beyond the log");
                continue;
            }
            require(is_stamped(state.log_text[k]), "an entry whose meaning is not stamped");
            const bool open = k == state.log_pos && state.rx_state != 0;
            require(open ? code.size() == 2 + 3u * state.rx_count && code.starts_with(hex_text(state.rx_cmd))
                         : is_committed_pattern(code),
                    "a torn entry in the log");
        }
    }
};

}  // namespace mirvane::fuzzing
