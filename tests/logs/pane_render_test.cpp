// Both panes are drawn from their last render when only the newest slot has changed, and
// whole otherwise. Whatever happens to the stores between two renders, the text set must
// be exactly the plain render of the stores at that moment (tests/support/reference_panes.h).

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <sstream>
#include <string>

#include "commands/manual_code.h"
#include "logs/message_log.h"
#include "logs/receive_ring.h"
#include "support/bench.h"
#include "support/reference_panes.h"

namespace mirvane::testing {
namespace {

// A window that compares every pane text with the plain render the moment it is set.
class ComparingWindow : public FakeWindow {
public:
    void set_text(Control control, std::u16string_view text) override {
        if (state != nullptr && !resetting && (control == Control::Text1 || control == Control::Text2)) {
            const std::u16string expected = control == Control::Text1 ? reference_receive_pane(*state)
                                                                      : reference_log_pane(*state);
            ++compared;
            if (text != expected && mismatch.empty()) {
                std::ostringstream what;
                what << (control == Control::Text1 ? "receive" : "log") << " pane, comparison "
                     << compared << ", step " << step << ": " << text.size() << " characters set, "
                     << expected.size() << " expected";
                mismatch = what.str();
            }
        }
        FakeWindow::set_text(control, text);
    }

    const SharedState* state = nullptr;
    bool resetting = false;  // the clear and config1 empty the panes on purpose
    int compared = 0;
    int step = 0;
    std::string mismatch;
};

struct Rig {
    SharedState state;
    ComparingWindow window;
    FakeSerialPort terminal{u"/dev/ttyS0"};
    FakeSerialPort monitor{u"/dev/ttyS1"};
    Program program{state, window, terminal, monitor};

    Rig(std::int16_t rx_size, std::int16_t log_size) {
        Main(program);
        state.rx_size = rx_size;
        state.log_size = log_size;
        window.state = &state;
    }

    void receive(const std::vector<std::uint8_t>& bytes) {
        terminal.received.insert(terminal.received.end(), bytes.begin(), bytes.end());
        terminal.event = comm_event::kReceive;
        MSComm1_OnComm(program);
    }
    void tap(const std::vector<std::uint8_t>& bytes) {
        monitor.received.insert(monitor.received.end(), bytes.begin(), bytes.end());
        monitor.event = comm_event::kReceive;
        MSComm2_OnComm(program);
    }
    void clear() {
        window.resetting = true;
        Command7_Click(program);
        window.resetting = false;
    }
    void reset() {
        window.resetting = true;
        config1(program);
        window.resetting = false;
    }
};

// Status codes that open, fill and finish entries, repeat levels and tones, and do nothing.
constexpr std::array<std::uint8_t, 18> kTelling{0x80, 0x81, 0xAF, 0xC3, 0xC5, 0x20, 0x21, 0x2F, 0x88,
                                                0xAD, 0xE1, 0xE7, 0xE0, 0x00, 0x90, 0x9C, 0x70, 0xA6};

struct RandomCase {
    std::int16_t rx_size;
    std::int16_t log_size;
    unsigned seed;
    int steps;
};

void PrintTo(const RandomCase& c, std::ostream* os) {
    *os << "rings " << c.rx_size << "/" << c.log_size << ", seed " << c.seed;
}

class RandomHistory : public ::testing::TestWithParam<RandomCase> {};

TEST_P(RandomHistory, every_pane_text_set_equals_the_plain_render_at_that_moment) {
    const RandomCase& c = GetParam();
    Rig rig(c.rx_size, c.log_size);
    SharedState& state = rig.state;
    std::mt19937 random(c.seed);
    auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    auto some_byte = [&] {
        return below(10) < 7 ? kTelling[static_cast<std::size_t>(below(kTelling.size()))]
                             : static_cast<std::uint8_t>(below(256));
    };
    auto some_bytes = [&](int most) {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(below(most + 1)));
        for (auto& byte : bytes) byte = some_byte();
        return bytes;
    };
    const std::u16string codes[] = {u"", u"80 __ __ __ __", u"__ __ __ __ A6", u"x"};
    const std::u16string meanings[] = {u"", u"[10:15:01] 待受", u"meaning"};
    const std::u16string ring_texts[] = {u"", u"7F", u"zz"};

    for (int step = 0; step < c.steps; ++step) {
        rig.window.step = step;
        const int choice = below(100);
        if (choice < 40) {
            rig.receive(some_bytes(30));
        } else if (choice < 55) {
            rig.tap(some_bytes(4));
        } else if (choice < 58) {
            rig.clear();
        } else if (choice < 59) {
            rig.reset();
        } else if (choice < 66) {
            // A log slot written behind the decoders' backs, anywhere in the log.
            const int slot = below(state.log_size);
            if (below(2) == 0) state.log_code[slot] = codes[below(4)];
            if (below(2) == 0) state.log_text[slot] = meanings[below(3)];
        } else if (choice < 70) {
            state.rx_ring[below(state.rx_size)] = ring_texts[below(3)];
        } else if (choice < 76) {
            disp_Command(rig.program);
        } else if (choice < 82) {
            disp_RxData(rig.program);
        } else if (choice < 85) {
            state.log_pos = static_cast<std::int16_t>(below(state.log_size));
        } else if (choice < 88) {
            state.rx_pos = static_cast<std::int16_t>(below(state.rx_size));
        } else if (choice < 95) {
            // Reaching a slot for writing without changing it.
            state.log_code[below(state.log_size)].shrink_to_fit();
        } else {
            // A run of one-byte entries, up to a turn of the log: a busy line.
            rig.receive(std::vector<std::uint8_t>(static_cast<std::size_t>(below(c.log_size + 2)), 0x80));
        }
        ASSERT_EQ(rig.window.mismatch, "");
    }
    EXPECT_GT(rig.window.compared, c.steps) << "the history rendered too little to prove anything";
}

INSTANTIATE_TEST_SUITE_P(
    PaneRenders, RandomHistory,
    ::testing::Values(RandomCase{200, 200, 1, 1500}, RandomCase{200, 200, 2, 1500},
                      RandomCase{200, 200, 3, 1500}, RandomCase{1, 1, 4, 5000},
                      RandomCase{2, 2, 5, 5000}, RandomCase{3, 3, 6, 5000},
                      RandomCase{4, 3, 7, 5000}, RandomCase{3, 7, 8, 5000},
                      RandomCase{1001, 1001, 9, 120}));

// The cases a render that starts from the last one must not get wrong, one by one.

TEST(PaneRenders, an_older_entry_rewritten_in_place_shows_at_the_next_commit) {
    Bench bench;
    bench.receive({0x80, 0x81, 0xAF});
    bench.state.log_text[0] = u"[10:15:01] rewritten";
    bench.receive({0xA5});
    EXPECT_EQ(bench.log_pane(),
              u"A5 __ __ __ __ : [10:15:01] 着信表示ON\r\n"
              u"AF __ __ __ __ : [10:15:01] 待受\r\n"
              u"81 __ __ __ __ : [10:15:01] 圏外表示ON\r\n"
              u"80 __ __ __ __ : [10:15:01] rewritten");
}

TEST(PaneRenders, an_older_ring_slot_emptied_in_place_is_skipped_at_the_next_byte) {
    Bench bench;
    bench.receive({0x01, 0x02, 0x03});
    bench.state.rx_ring[1].clear();
    bench.receive({0x04});
    EXPECT_EQ(bench.receive_pane(), u"04 03 01");
}

TEST(PaneRenders, after_a_clear_only_what_follows_shows_in_either_pane) {
    Bench bench;
    for (int i = 0; i < 199; ++i) bench.receive({0x80});
    Command7_Click(bench.program);
    bench.receive({0x80});
    EXPECT_EQ(bench.receive_pane(), u"80");
    EXPECT_EQ(bench.log_pane(), u"80 __ __ __ __ : [10:15:01] 圏外表示OFF");
}

TEST(PaneRenders, a_commit_over_an_empty_slot_leaves_no_bare_line_behind) {
    Bench bench;
    bench.receive({0x80});
    disp_Command(bench.program);  // commits the empty slot 1: a bare " : " on top
    bench.receive({0x81});
    EXPECT_EQ(bench.log_pane(),
              u"81 __ __ __ __ : [10:15:01] 圏外表示ON\r\n"
              u"80 __ __ __ __ : [10:15:01] 圏外表示OFF");
}

TEST(PaneRenders, monitor_entries_beside_an_open_message_and_its_completion) {
    Bench bench;
    bench.receive({0x80, 0xAD, 0x31});
    bench.tap({0xA6});
    bench.receive({0x32});
    bench.tap({0xA7});
    bench.receive({0x33, 0x34});
    EXPECT_EQ(bench.log_pane(),
              u"AD 31 32 33 34 : [10:15:01] 網情報 1234\r\n"
              u"__ __ __ __ A7 : [10:15:01] 受話器を上げる\r\n"
              u"__ __ __ __ A6 : [10:15:01] 受話器をおく\r\n"
              u"80 __ __ __ __ : [10:15:01] 圏外表示OFF");
}

TEST(PaneRenders, the_log_keeps_its_last_200_entries_for_many_turns_of_the_ring) {
    Bench bench;
    for (int i = 0; i < 1000; ++i) {
        bench.receive({static_cast<std::uint8_t>(i % 2 == 0 ? 0x80 : 0x81)});
        bench.tap({static_cast<std::uint8_t>(i % 256)});
    }
    EXPECT_EQ(bench.log_pane(), reference_log_pane([&] {
                  SharedState at_last_commit = bench.state;
                  at_last_commit.log_pos = static_cast<std::int16_t>((bench.state.log_pos + 199) % 200);
                  return at_last_commit;
              }()));
    EXPECT_EQ(bench.top_line(), u"__ __ __ __ E7 : [10:15:01] *");
}

}  // namespace
}  // namespace mirvane::testing
