// The mirvane-sim program as a person or a script runs it: its exit statuses and
// messages, the program it starts, and serving until stopped.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>

#include "running_simulator.h"

namespace mirvane::sim::testing {
namespace {

using namespace std::chrono_literals;
using Args = std::vector<std::string>;
using Bytes = std::vector<std::uint8_t>;

// The simulator as a child process: its output collected, its lines awaited, signalled,
// and killed should a test leave it running.
class Process {
public:
    explicit Process(Args args, const std::string& program = MIRVANE_SIM_PROGRAM) {
        args.insert(args.begin(), program);
        int out[2];
        int err[2];
        if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) throw std::runtime_error("no pipe");
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], 1);
            ::dup2(err[1], 2);
            ::execv(argv[0], argv.data());
            ::_exit(126);
        }
        ::close(out[1]);
        ::close(err[1]);
        fds_[0] = out[0];
        fds_[1] = err[0];
    }
    ~Process() {
        if (!status_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        for (const int fd : fds_) ::close(fd);
    }

    // The next line of standard output, or nothing if none comes in time.
    std::optional<std::string> line() {
        const auto deadline = Clock::now() + 10s;
        std::size_t nl;
        while ((nl = text_[0].find('\n', taken_)) == std::string::npos) {
            if (Clock::now() > deadline) return std::nullopt;
            pump(100ms);
        }
        std::string l = text_[0].substr(taken_, nl - taken_);
        taken_ = nl + 1;
        return l;
    }
    void signal(int sig) { ::kill(pid_, sig); }
    // The status a shell would report (128 + signal for a signal), once all output is in.
    std::optional<int> wait() {
        const auto deadline = Clock::now() + 20s;
        for (int s = 0; !status_; pump(20ms)) {
            if (::waitpid(pid_, &s, WNOHANG) == pid_) status_ = WIFEXITED(s) ? WEXITSTATUS(s) : 128 + WTERMSIG(s);
            if (!status_ && Clock::now() > deadline) return std::nullopt;
        }
        while (pump(0ms)) {
        }
        return status_;
    }
    const std::string& out() const { return text_[0]; }
    const std::string& err() const { return text_[1]; }

private:
    // Reads what comes on either pipe within the time given; false when nothing came.
    bool pump(std::chrono::milliseconds within) {
        pollfd fds[2] = {{fds_[0], POLLIN, 0}, {fds_[1], POLLIN, 0}};
        if (::poll(fds, 2, static_cast<int>(within.count())) <= 0) return false;
        bool got = false;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].revents == 0) continue;
            char buffer[4096];
            const ssize_t n = ::read(fds_[i], buffer, sizeof buffer);
            if (n > 0) {
                text_[i].append(buffer, static_cast<std::size_t>(n));
                got = true;
            } else {
                ::close(fds_[i]);  // the end of its output
                fds_[i] = -1;
            }
        }
        return got;
    }

    pid_t pid_ = -1;
    int fds_[2] = {-1, -1};  // standard output and error
    std::string text_[2];
    std::size_t taken_ = 0;
    std::optional<int> status_;
};

// A folder of its own for each test, removed afterwards.
class Program : public ::testing::Test {
protected:
    Program() {
        char name[] = "/tmp/mirvane-sim-test-XXXXXX";
        dir = ::mkdtemp(name);
    }
    ~Program() override { std::filesystem::remove_all(dir); }
    std::string file(const std::string& name, const std::string& text) const {
        std::ofstream(dir + "/" + name) << text;
        return dir + "/" + name;
    }
    std::string dir;
};

TEST_F(Program, each_run_ends_with_its_exit_status_and_says_why_on_standard_error) {
    const std::string script = file("call.txt", "+100 A5 22\n+0 AD 3G\n");
    const std::string not_executable = file("prog", "#!/bin/sh\n");
    const std::string kNoFile = ": No such file or directory\n";
    struct Run {
        Args args;
        int status;
        std::string err;
        std::string out_start = "";
    };
    const Run runs[] = {
        {{"--help"}, 0, "", "Usage: mirvane-sim [OPTION]..."},
        {{"--bogus", "/bin/true"}, 2, "mirvane-sim: unknown option '--bogus'\nTry 'mirvane-sim --help'.\n"},
        // Were the program started, its own status (9) would come back.
        {{"--script", script, "/bin/sh", "-c", "exit 9"}, 2,
         "mirvane-sim: " + script + ":2: '3G' is not a hex byte (two hex digits, 00 to FF)\n"},
        {{"--", "/nonexistent/prog"}, 1, "mirvane-sim: cannot start /nonexistent/prog" + kNoFile},
        {{"--", "no-such-program"}, 1, "mirvane-sim: cannot start no-such-program" + kNoFile},
        {{"--", not_executable}, 1, "mirvane-sim: cannot start " + not_executable + ": Permission denied\n"},
        {{"/bin/sh", "-c", "exit 7"}, 7, "mirvane-sim: /bin/sh ended with status 7\n"},
        {{"/bin/sh", "-c", "kill -TERM $$"}, 128 + SIGTERM, "mirvane-sim: /bin/sh ended with status 143\n"},
    };
    for (const Run& run : runs) {
        Process sim(run.args);
        EXPECT_EQ(sim.wait(), run.status) << run.args.front();
        EXPECT_EQ(sim.err(), run.err);
        EXPECT_EQ(sim.out().rfind(run.out_start, 0), 0u) << sim.out();
    }
}

TEST_F(Program, without_a_command_it_starts_the_mirvane_beside_it) {
    // A copy of the simulator in a folder without mirvane shows where it looks.
    const std::string copy = dir + "/mirvane-sim";
    std::filesystem::copy_file(MIRVANE_SIM_PROGRAM, copy);
    std::filesystem::permissions(copy, std::filesystem::perms::owner_all);
    Process sim({}, copy);
    EXPECT_EQ(sim.wait(), 1);
    EXPECT_EQ(sim.err(), "mirvane-sim: cannot start " + dir + "/mirvane: No such file or directory\n"
                         "mirvane-sim: build Mirvane first, or name the program to start (see --help)\n");
}

// The start of a call on the lines named in the first two lines a run prints.
void call_on_the_lines_printed(Process& sim) {
    const auto first = sim.line();
    const auto second = sim.line();
    ASSERT_TRUE(first && second) << sim.err();
    ASSERT_EQ(first->rfind("MIRVANE_PORT1=/dev/pts/", 0), 0u) << *first;
    ASSERT_EQ(second->rfind("MIRVANE_PORT2=/dev/pts/", 0), 0u) << *second;
    FarEnd terminal(first->substr(14));
    FarEnd monitor(second->substr(14));
    terminal.send({0xA7, 0xEB});
    EXPECT_EQ(terminal.receive(2), (Bytes{0xA7, 0x21}));
    EXPECT_EQ(monitor.receive(2), (Bytes{0xA7, 0xEB}));
}

TEST_F(Program, serving_prints_both_lines_serves_them_and_ends_cleanly_when_interrupted) {
    Process sim({"--serve", "--full-speed", "--no-levels"});
    ASSERT_NO_FATAL_FAILURE(call_on_the_lines_printed(sim));
    sim.signal(SIGINT);
    EXPECT_EQ(sim.wait(), 0);
    EXPECT_EQ(sim.err(), "");
}

TEST_F(Program, the_program_started_holds_a_call_on_both_lines_and_goes_when_the_simulator_is_stopped) {
    Process sim({"--full-speed", "--no-levels", "/bin/sh", "-c",
                 "echo MIRVANE_PORT1=$MIRVANE_PORT1; echo MIRVANE_PORT2=$MIRVANE_PORT2; echo $$; exec sleep 60"});
    ASSERT_NO_FATAL_FAILURE(call_on_the_lines_printed(sim));
    const auto program = sim.line();
    ASSERT_TRUE(program);
    sim.signal(SIGTERM);
    EXPECT_EQ(sim.wait(), 0);
    EXPECT_EQ(sim.err(), "");
    EXPECT_NE(::kill(std::stoi(*program), 0), 0) << "the program is gone";
}

}  // namespace
}  // namespace mirvane::sim::testing
