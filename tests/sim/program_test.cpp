// The mirvane-sim program as a person or a script runs it: its command line, its exit
// statuses and messages, the program it starts, and serving until stopped.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "far_end.h"
#include "process.h"

namespace mirvane::sim::testing {
namespace {

using namespace std::chrono_literals;
using Args = std::vector<std::string>;

const std::string kSim = MIRVANE_SIM_PROGRAM;
const std::string kFarSide = MIRVANE_SIM_FAR_SIDE;

// A folder of its own for each test, removed afterwards.
class TempDir {
public:
    TempDir() {
        char name[] = "/tmp/mirvane-sim-test-XXXXXX";
        path_ = ::mkdtemp(name);
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    std::string file(const std::string& name, const std::string& text) const {
        const std::string path = path_ + "/" + name;
        std::ofstream(path) << text;
        return path;
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

Args with_sim(Args args) {
    args.insert(args.begin(), kSim);
    return args;
}

TEST(Program, help_goes_to_standard_output_and_succeeds) {
    Process sim(with_sim({"--help"}));
    EXPECT_EQ(sim.wait(), 0);
    EXPECT_EQ(sim.out().rfind("Usage: mirvane-sim", 0), 0u) << sim.out();
    EXPECT_EQ(sim.err(), "");
}

TEST(Program, a_bad_command_line_is_refused_with_a_pointer_to_help) {
    Process sim(with_sim({"--bogus", "/bin/true"}));
    EXPECT_EQ(sim.wait(), 2);
    EXPECT_EQ(sim.err(), "mirvane-sim: unknown option '--bogus'\nTry 'mirvane-sim --help'.\n");
}

TEST(Program, a_bad_script_names_file_and_line_and_starts_nothing) {
    TempDir dir;
    const std::string script = dir.file("call.txt", "+100 A5 22\n+0 AD 3G\n");
    // Were the program started, its own status (9) would come back.
    Process sim(with_sim({"--script", script, "/bin/sh", "-c", "exit 9"}));
    EXPECT_EQ(sim.wait(), 2);
    EXPECT_EQ(sim.err(),
              "mirvane-sim: " + script + ":2: '3G' is not a hex byte (two hex digits, 00 to FF)\n");
}

TEST(Program, a_missing_script_is_named_with_the_reason) {
    Process sim(with_sim({"--script", "/nonexistent/call.txt", "/bin/true"}));
    EXPECT_EQ(sim.wait(), 2);
    EXPECT_EQ(sim.err(),
              "mirvane-sim: /nonexistent/call.txt: cannot read the script: No such file or directory\n");
}

TEST(Program, a_command_that_does_not_start_is_named_with_the_reason) {
    TempDir dir;
    const std::string not_executable = dir.file("prog", "#!/bin/sh\n");
    struct Case {
        std::string command;
        std::string reason;
    };
    for (const Case& c : {Case{"/nonexistent/prog", "No such file or directory"},
                          Case{"no-such-program-on-the-path", "No such file or directory"},
                          Case{not_executable, "Permission denied"}}) {
        Process sim(with_sim({"--", c.command}));
        EXPECT_EQ(sim.wait(), 1) << c.command;
        EXPECT_EQ(sim.err(), "mirvane-sim: cannot start " + c.command + ": " + c.reason + "\n");
    }
}

TEST(Program, without_a_command_it_starts_the_mirvane_beside_it) {
    // A copy of the simulator in a folder without mirvane shows where it looks.
    TempDir dir;
    const std::string copy = dir.path() + "/mirvane-sim";
    std::filesystem::copy_file(kSim, copy);
    std::filesystem::permissions(copy, std::filesystem::perms::owner_all);
    Process sim({copy});
    EXPECT_EQ(sim.wait(), 1);
    EXPECT_EQ(sim.err(), "mirvane-sim: cannot start " + dir.path() +
                             "/mirvane: No such file or directory\n"
                             "mirvane-sim: build Mirvane first, or name the program to start "
                             "(see --help)\n");
}

TEST(Program, the_program_gets_both_lines_and_its_exit_status_is_passed_on) {
    Process sim(with_sim({"/bin/sh", "-c",
                          "test -c \"$MIRVANE_PORT1\" && test -c \"$MIRVANE_PORT2\" && "
                          "test \"$MIRVANE_PORT1\" != \"$MIRVANE_PORT2\" && exit 7"}));
    EXPECT_EQ(sim.wait(), 7);
    EXPECT_EQ(sim.err(), "mirvane-sim: /bin/sh ended with status 7\n");
}

TEST(Program, a_program_ended_by_a_signal_gives_128_plus_the_signal) {
    Process sim(with_sim({"/bin/sh", "-c", "kill -TERM $$"}));
    EXPECT_EQ(sim.wait(), 128 + SIGTERM);
}

TEST(Program, a_started_program_holds_a_whole_call_with_the_handset) {
    Process sim(with_sim({"--full-speed", "--no-levels", kFarSide, "7", "A7", "EB", "95", "86", "A6"}));
    EXPECT_EQ(sim.wait(), 0) << sim.err();
    EXPECT_EQ(sim.out(), "terminal: A7 21 95 AA 20 A6 AF\nmonitor: A7 EB 95 86 A6\n");
}

TEST(Program, stopping_the_simulator_stops_its_program) {
    Process sim(with_sim({"/bin/sh", "-c", "echo $$; exec sleep 60"}));
    const auto pid_line = sim.line();
    ASSERT_TRUE(pid_line);
    const pid_t program = std::stoi(*pid_line);
    sim.signal(SIGTERM);
    EXPECT_EQ(sim.wait(10s), 0);
    EXPECT_NE(::kill(program, 0), 0) << "the program is gone";
}

class Serving : public ::testing::TestWithParam<int> {};

TEST_P(Serving, prints_both_paths_serves_them_and_ends_cleanly_when_stopped) {
    Process sim(with_sim({"--serve", "--full-speed", "--no-levels"}));
    const auto first = sim.line();
    const auto second = sim.line();
    ASSERT_TRUE(first && second) << sim.err();
    ASSERT_EQ(first->rfind("MIRVANE_PORT1=/dev/pts/", 0), 0u) << *first;
    ASSERT_EQ(second->rfind("MIRVANE_PORT2=/dev/pts/", 0), 0u) << *second;

    {
        FarEnd terminal(first->substr(first->find('=') + 1));
        FarEnd monitor(second->substr(second->find('=') + 1));
        terminal.send({0xA7, 0xEB});
        EXPECT_EQ(terminal.receive(2), (std::vector<std::uint8_t>{0xA7, 0x21}));
        EXPECT_EQ(monitor.receive(2), (std::vector<std::uint8_t>{0xA7, 0xEB}));
    }
    sim.signal(GetParam());
    EXPECT_EQ(sim.wait(10s), 0);
    EXPECT_EQ(sim.err(), "");
}

INSTANTIATE_TEST_SUITE_P(Program, Serving, ::testing::Values(SIGINT, SIGTERM),
                         [](const auto& info) { return info.param == SIGINT ? "SIGINT" : "SIGTERM"; });

}  // namespace
}  // namespace mirvane::sim::testing
