// The host's own decoders (the core, without a window) reading both simulated lines as
// the program would: what the operator's log shows of a call.

#include <gtest/gtest.h>
#include <poll.h>

#include "far_end.h"
#include "log_order.h"
#include "running_simulator.h"
#include "support/bench.h"

namespace mirvane::sim::testing {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

// The core wired to the program's ends of the two lines. Bytes go to the decoders as they
// arrive, each line's in its own read, the monitor line first when both have some.
class Host {
public:
    explicit Host(const RunningSimulator& sim) : terminal_(sim.terminal_path()), monitor_(sim.monitor_path()) {}

    void send(const Bytes& bytes) { terminal_.send(bytes); }

    // Decodes what arrives until the line has been quiet for the time given.
    void listen_until_quiet(std::chrono::milliseconds quiet) {
        for (;;) {
            pollfd fds[2] = {{monitor_.fd(), POLLIN, 0}, {terminal_.fd(), POLLIN, 0}};
            if (::poll(fds, 2, static_cast<int>(quiet.count())) <= 0) return;
            if (fds[0].revents & POLLIN) deliver(monitor_, bench.monitor, &MSComm2_OnComm);
            if (fds[1].revents & POLLIN) deliver(terminal_, bench.terminal, &MSComm1_OnComm);
        }
    }

    mirvane::testing::Bench bench;

private:
    void deliver(FarEnd& end, mirvane::testing::FakeSerialPort& port, void (*on_comm)(Program&)) {
        const Bytes bytes = end.waiting();
        port.received.insert(port.received.end(), bytes.begin(), bytes.end());
        port.event = comm_event::kReceive;
        on_comm(bench.program);
    }

    FarEnd terminal_;
    FarEnd monitor_;
};

TEST(HostLog, a_call_at_line_speed_shows_every_command_and_answer_whole_and_in_order) {
    SimulatorSettings settings = quick_settings();
    settings.full_speed = false;
    settings.script = std::get<Script>(parse_script("+0 C7\n", "level"));
    RunningSimulator sim(std::move(settings));
    Host host(sim);
    host.listen_until_quiet(200ms);
    EXPECT_EQ(host.bench.window.caption(Control::Label1), u"受信レベル：7");

    host.send({0xA7, 0xEB});
    host.listen_until_quiet(150ms);
    EXPECT_EQ(host.bench.window.caption(Control::Label2), u"Tone　：　1");
    host.send({0x95});
    host.send({0x93});
    host.listen_until_quiet(150ms);
    host.send({0x86});
    host.listen_until_quiet(150ms);
    host.send({0xA6});
    host.listen_until_quiet(150ms);
    EXPECT_EQ(host.bench.window.caption(Control::Label2), u"Tone ： 0");

    std::vector<LogEntry> entries = entries_oldest_first(host.bench.log_pane());
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries.front(), (LogEntry{u"C7 __ __ __ __", u"受信レベル [7]"}));
    entries.erase(entries.begin());
    const std::string verdict = judge(entries, outgoing_call_53());
    EXPECT_TRUE(verdict.empty()) << verdict;
}

TEST(HostLog, the_judge_notices_an_answer_logged_before_its_command) {
    // The order check itself can fail: the dial complete answer ahead of its command.
    std::vector<LogEntry> entries;
    const CallLog call = outgoing_call_53();
    entries = {call.monitor[0], call.status[0], call.monitor[1], call.status[1],
               call.monitor[2], call.status[2], call.monitor[3], call.status[3],
               call.status[4], call.monitor[4], call.monitor[5], call.status[5],
               call.status[6], call.status[7]};
    EXPECT_EQ(judge(entries, call),
              "the answer AA __ __ __ __ came before the command __ __ __ __ 86 was tapped");
    std::swap(entries[8], entries[9]);
    EXPECT_EQ(judge(entries, call), "");
    entries.pop_back();
    EXPECT_NE(judge(entries, call), "") << "a missing answer is noticed";
}

TEST(HostLog, the_pane_is_read_back_newest_last_without_time_stamps_whatever_the_line_ends) {
    const std::u16string pane =
        u"AF __ __ __ __ : [10:15:01] 待受\r\n__ __ __ __ A6 : [10:15:00] 受話器をおく";
    for (const std::u16string& text : {pane, std::u16string(u"AF __ __ __ __ : [10:15:01] 待受\n"
                                                             u"__ __ __ __ A6 : [10:15:00] 受話器をおく\n")}) {
        const std::vector<LogEntry> entries = entries_oldest_first(text);
        ASSERT_EQ(entries.size(), 2u);
        EXPECT_EQ(entries[0], (LogEntry{u"__ __ __ __ A6", u"受話器をおく"}));
        EXPECT_EQ(entries[1], (LogEntry{u"AF __ __ __ __", u"待受"}));
    }
}

}  // namespace
}  // namespace mirvane::sim::testing
