#pragma once
// What the fuzz targets share: the core on the test fakes, a window that compares every
// pane text with the plain render the moment it is set, and the invariants of the stores
// and of the decoder. A broken invariant aborts with its reason, so the fuzzer keeps the
// input that broke it.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "commands/manual_code.h"
#include "decode/status_catalogue.h"
#include "link/comm_events.h"
#include "logs/hex_text.h"
#include "monitor/monitor_decoder.h"
#include "shell/program.h"
#include "shell/startup.h"
#include "support/fake_serial_port.h"
#include "support/fake_window.h"
#include "support/reference_panes.h"

namespace mirvane::fuzzing {

inline void require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

// A window whose panes may only ever show what the plain render of the stores shows at
// that moment, except while the clear command empties them on purpose.
class CheckingWindow : public testing::FakeWindow {
public:
    void set_text(Control control, std::u16string_view text) override {
        if (state != nullptr && !clearing) {
            if (control == Control::Text1) {
                require(text == testing::reference_receive_pane(*state),
                        "the receive pane differs from the plain render");
            } else if (control == Control::Text2) {
                require(text == testing::reference_log_pane(*state),
                        "the log pane differs from the plain render");
            }
        }
        FakeWindow::set_text(control, text);
    }

    const SharedState* state = nullptr;
    bool clearing = false;
};

inline bool is_upper_hex(char16_t ch) {
    return (ch >= u'0' && ch <= u'9') || (ch >= u'A' && ch <= u'F');
}

inline bool is_hex_pair(std::u16string_view text) {
    return text.size() == 2 && is_upper_hex(text[0]) && is_upper_hex(text[1]);
}

// The columns of a code pattern, split at single spaces.
inline std::vector<std::u16string_view> columns_of(std::u16string_view code) {
    std::vector<std::u16string_view> columns;
    std::size_t start = 0;
    for (;;) {
        const std::size_t space = code.find(u' ', start);
        columns.push_back(code.substr(start, space - start));
        if (space == std::u16string_view::npos) return columns;
        start = space + 1;
    }
}

// A finished code pattern: five columns, either the status code first with its parameters
// and then placeholders, or four placeholders and the monitor code last.
inline bool is_committed_pattern(std::u16string_view code) {
    const auto columns = columns_of(code);
    if (columns.size() != 5) return false;
    if (columns[0] == u"__") {
        for (int i = 0; i < 4; ++i) {
            if (columns[i] != u"__") return false;
        }
        return is_hex_pair(columns[4]);
    }
    if (!is_hex_pair(columns[0])) return false;
    bool placeholders = false;
    for (int i = 1; i < 5; ++i) {
        if (columns[i] == u"__") {
            placeholders = true;
        } else if (placeholders || !(is_hex_pair(columns[i]) || columns[i] == u"xx")) {
            return false;
        }
    }
    return true;
}

// "[hh:mm:ss] " in front of a meaning, and no line break anywhere in it.
inline bool is_stamped_meaning(std::u16string_view meaning) {
    if (meaning.size() < 11 || meaning[0] != u'[' || meaning[9] != u']' || meaning[10] != u' ') {
        return false;
    }
    return meaning.find(u'\r') == std::u16string_view::npos &&
           meaning.find(u'\n') == std::u16string_view::npos;
}

// Every line of the log pane is one whole entry: a finished pattern, " : ", a stamped meaning.
inline void check_log_pane(std::u16string_view pane, int log_size) {
    if (pane.empty()) return;  // cleared
    int lines = 0;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = pane.find(u"\r\n", start);
        const std::u16string_view line = pane.substr(start, end - start);
        const std::size_t separator = line.find(u" : ");
        require(separator != std::u16string_view::npos, "a log line without its separator");
        require(is_committed_pattern(line.substr(0, separator)), "a log line with a torn pattern");
        require(is_stamped_meaning(line.substr(separator + 3)), "a log line with a torn meaning");
        ++lines;
        if (end == std::u16string_view::npos) break;
        start = end + 2;
    }
    require(lines <= log_size, "more log lines than the log holds");
}

inline void check_state(const SharedState& state) {
    require(state.rx_pos >= 0 && state.rx_pos < state.rx_size, "rx_pos out of range");
    require(state.log_pos >= 0 && state.log_pos < state.log_size, "log_pos out of range");
    require(state.rx_state <= 4, "rx_state above 4");
    if (state.rx_state == 0) {
        require(state.rx_count == 0 && state.rx_cmd == 0, "a ready decoder with a message left over");
    } else {
        require(state.rx_count < state.rx_state, "more parameters than the message takes");
        const StatusRow* opener = find_status_row(state.rx_cmd);
        require(opener != nullptr && opener->parameters == state.rx_state,
                "collecting for a code that opens no such message");
    }

    for (int k = 0; k < kSlotCount; ++k) {
        const std::u16string& code = state.rx_ring[k];
        if (k < state.rx_size) {
            require(code.empty() || is_hex_pair(code), "a ring slot that is not two hex digits");
        } else {
            require(code.empty(), "a ring slot beyond the ring");
        }
    }

    for (int k = 0; k < kSlotCount; ++k) {
        const std::u16string& code = state.log_code[k];
        const std::u16string& meaning = state.log_text[k];
        if (k >= state.log_size) {
            require(code.empty() && meaning.empty(), "a log slot beyond the log");
            continue;
        }
        if (code.empty()) {
            require(meaning.empty(), "a meaning without a code");
            continue;
        }
        require(is_stamped_meaning(meaning), "an entry whose meaning is not stamped");
        if (k == state.log_pos && state.rx_state != 0) {
            // The message being collected: its opener and the parameters so far.
            const auto columns = columns_of(code);
            require(columns.size() == 1u + state.rx_count, "an open message with a wrong column count");
            require(columns[0] == hex_text(state.rx_cmd), "an open message under a foreign code");
            for (const auto column : columns) require(is_hex_pair(column), "an open message with a torn column");
        } else {
            require(is_committed_pattern(code), "a committed entry without five columns");
        }
    }
}

// The core on fakes, started as the program starts. The first input byte may shrink the
// rings, so that short inputs reach their wrap (any modulus from 1 up is valid).
struct FuzzBench {
    SharedState state;
    CheckingWindow window;
    testing::FakeSerialPort terminal{u"/dev/ttyS0"};
    testing::FakeSerialPort monitor{u"/dev/ttyS1"};
    Program program{state, window, terminal, monitor};
    std::deque<std::uint8_t> received;  // what the receive pane must show, oldest first
    int reads = 0;

    FuzzBench() {
        window.after_yield = [this] { terminal.drain(); };
        Main(program);
        window.state = &state;
    }

    void size_rings(std::uint8_t selector) {
        if (selector < 0x80) return;  // the real sizes
        state.rx_size = static_cast<std::int16_t>(1 + (selector & 0x07));
        state.log_size = static_cast<std::int16_t>(1 + ((selector >> 3) & 0x07));
    }

    // A new second for every read, so stamps of different reads differ.
    void next_time() {
        const int t = reads++;
        char16_t text[] = u"00:00:00";
        const int fields[] = {(t / 3600) % 24, (t / 60) % 60, t % 60};
        for (int i = 0; i < 3; ++i) {
            text[3 * i] = static_cast<char16_t>(u'0' + fields[i] / 10);
            text[3 * i + 1] = static_cast<char16_t>(u'0' + fields[i] % 10);
        }
        window.now = text;
    }

    void receive(std::span<const std::uint8_t> bytes) {
        next_time();
        terminal.received.insert(terminal.received.end(), bytes.begin(), bytes.end());
        terminal.event = comm_event::kReceive;
        MSComm1_OnComm(program);
        for (const std::uint8_t byte : bytes) {
            received.push_back(byte);
            if (received.size() > static_cast<std::size_t>(state.rx_size)) received.pop_front();
        }
        if (!bytes.empty()) require(window.text(Control::Text1) == receive_model(), "the receive pane lost a byte");
    }

    void tap(std::span<const std::uint8_t> bytes) {
        next_time();
        const auto decoder = std::tuple(state.rx_state, state.rx_count, state.rx_cmd, state.rx_pos);
        const int log_pos = state.log_pos;
        monitor.received.insert(monitor.received.end(), bytes.begin(), bytes.end());
        monitor.event = comm_event::kReceive;
        MSComm2_OnComm(program);
        require(decoder == std::tuple(state.rx_state, state.rx_count, state.rx_cmd, state.rx_pos),
                "a monitor byte moved the status decoder");
        require(state.log_pos == (log_pos + static_cast<int>(bytes.size())) % state.log_size,
                "a monitor byte did not take exactly one slot");
        if (!bytes.empty()) {
            const std::u16string pane = window.text(Control::Text2);
            require(pane.starts_with(monitor_code_pattern(bytes.back())), "the last monitor byte is not on top");
        }
    }

    void clear() {
        window.clearing = true;
        Command7_Click(program);
        window.clearing = false;
        received.clear();
        require(window.text(Control::Text1).empty() && window.text(Control::Text2).empty(),
                "a clear left text in a pane");
    }

    std::u16string receive_model() const {
        std::u16string text;
        for (auto it = received.rbegin(); it != received.rend(); ++it) {
            if (!text.empty()) text += u' ';
            text += hex_text(*it);
        }
        return text;
    }

    void check() const {
        check_state(state);
        check_log_pane(window.text(Control::Text2), state.log_size);
    }
};

// Reads a decoder input as records: one header byte, its top two bits the kind and its
// low six bits the count of payload bytes that follow (fewer at the very end).
struct Record {
    std::uint8_t kind;
    std::span<const std::uint8_t> payload;
};

inline std::vector<Record> records_of(std::span<const std::uint8_t> data) {
    std::vector<Record> records;
    std::size_t at = 0;
    while (at < data.size()) {
        const std::uint8_t header = data[at++];
        const std::size_t count = std::min<std::size_t>(header & 0x3F, data.size() - at);
        records.push_back({static_cast<std::uint8_t>(header >> 6), data.subspan(at, count)});
        at += count;
    }
    return records;
}

// Operator input as UTF-16: bytes below 0xE0 stand for themselves, the rest for characters
// that look like digits or separators to a person but are none to the parser.
inline std::u16string typed_text(std::span<const std::uint8_t> data) {
    static constexpr char16_t kLookalikes[32] = {
        u'\uFF10', u'\uFF11', u'\uFF19', u'\uFF21', u'\uFF26', u'\uFF41', u'\uFF46', u'\uFF0A',
        u'\uFF03', u'\u3000', u'\u0663', u'\u0966', u'\u00B2', u'\u2460', char16_t{0xD800}, char16_t{0xDC00},
        u'\u0660', u'\u06F5', u'\u1D7E', u'\u2074', u'\u215B', u'\uFE61', u'\uFE5F', u'\u2217',
        u'\u0000', u'\t', u'\n', u'\r', u' ', u'\u00A0', u'\uFFFF', u'\uFEFF',
    };
    std::u16string text;
    for (const std::uint8_t byte : data) {
        text += byte < 0xE0 ? static_cast<char16_t>(byte) : kLookalikes[byte - 0xE0];
    }
    return text;
}

}  // namespace mirvane::fuzzing
