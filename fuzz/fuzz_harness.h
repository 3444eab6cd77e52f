#pragma once
// What the fuzz targets share: the core on the test fakes, its panes held to the plain
// render whenever the window draws, and the invariants of the stores and of the decoder. A
// broken invariant aborts with its reason, so the fuzzer keeps the input that broke it.

#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <tuple>
#include <vector>

#include "commands/manual_code.h"
#include "support/core_rig.h"
#include "support/reference_panes.h"
#include "vocabulary/status_catalogue.h"

namespace mirvane::fuzzing {

inline void require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

// The core on fakes, started as the program starts. The first input byte may shrink the
// rings, so that short inputs reach their wrap (any modulus from 1 up is valid).
struct FuzzRig : testing::CoreRig {
    testing::PaneChecker panes{window, state, [](const char* pane) { require(false, pane); }};
    int reads = 0;

    explicit FuzzRig(std::uint8_t ring_selector = 0) : CoreRig(true) {
        if (ring_selector >= 0x80) {
            state.rx_size = static_cast<std::int16_t>(1 + (ring_selector & 0x07));
            state.log_size = static_cast<std::int16_t>(1 + ((ring_selector >> 3) & 0x07));
        }
        panes.attach();
    }

    // Every read at a new second, so that stamps of different reads differ.
    void next_second() {
        const int t = reads++;
        const auto two = [](int n) { return std::u16string{char16_t(u'0' + n / 10), char16_t(u'0' + n % 10)}; };
        window.now = two(t / 3600 % 24) + u":" + two(t / 60 % 60) + u":" + two(t % 60);
    }
    void receive(std::span<const std::uint8_t> bytes) {
        next_second();
        CoreRig::receive({bytes.begin(), bytes.end()});
    }
    // A monitor byte takes exactly one slot of the log and leaves the status decoder alone.
    void tap(std::span<const std::uint8_t> bytes) {
        next_second();
        const auto now = [&] {
            return std::tuple(state.rx_state, state.rx_count, state.rx_cmd, state.rx_pos, int(state.log_pos));
        };
        auto expected = now();
        std::get<4>(expected) = static_cast<int>((state.log_pos + bytes.size()) % state.log_size);
        CoreRig::tap({bytes.begin(), bytes.end()});
        require(now() == expected, "a monitor byte moved the status decoder or took other than one slot");
    }
    void clear() { panes.clearing = true, Command7_Click(program), panes.clearing = false; }

    // The stores as the decoders may leave them: positions in their rings, a decoder that
    // is ready or collecting for an opener, and every entry whole: a stamped meaning beside
    // a five-column pattern, or the open message so far.
    void check() const {
        require(
            state.rx_pos >= 0 && state.rx_pos < state.rx_size && state.log_pos >= 0 && state.log_pos < state.log_size,
            "a position out of its ring");
        const StatusRow* opener = find_status_row(state.rx_cmd);
        require(state.rx_state == 0 ? state.rx_count == 0 && state.rx_cmd == 0
                                    : opener && opener->parameters == state.rx_state && state.rx_count < state.rx_state,
                "a decoder collecting for no opener");
        for (int k = 0; k < kSlotCount; ++k) {
            const std::u16string& code = state.log_code[k];
            const std::u16string& meaning = state.log_text[k];
            const bool open = k == state.log_pos && state.rx_state != 0;
            require(code.empty()
                        ? meaning.empty()
                        : k < state.log_size && meaning.size() > 11 && meaning.substr(0, 1) == u"[" &&
                              meaning.substr(9, 2) == u"] " && code.size() == (open ? 2 + 3u * state.rx_count : 14),
                    "a torn entry in the log");
        }
    }
};

}  // namespace mirvane::fuzzing
