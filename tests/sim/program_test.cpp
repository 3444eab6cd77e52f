// The mirvane-sim program as a person or a script runs it: its exit statuses and
// messages, the program it starts, and serving until stopped.

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "running_simulator.h"

namespace mirvane::sim::testing {
namespace {

using namespace std::chrono_literals;
using Args = std::vector<std::string>;
using Bytes = std::vector<std::uint8_t>;

std::string text_of(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

// A program run with its output in files, killed should a test leave it running.
class Process {
public:
    Process(const std::string& dir, Args args) : out_(dir + "/out"), err_(dir + "/err") {
        std::vector<char*> argv;
        for (std::string& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t files;
        ::posix_spawn_file_actions_init(&files);
        ::posix_spawn_file_actions_addopen(&files, 1, out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::posix_spawn_file_actions_addopen(&files, 2, err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int error = ::posix_spawn(&pid_, argv[0], &files, nullptr, argv.data(), environ);
        ::posix_spawn_file_actions_destroy(&files);
        if (error != 0) throw std::runtime_error("cannot start " + args.front());
    }
    ~Process() {
        if (status_) return;
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    void signal(int sig) { ::kill(pid_, sig); }
    // The status a shell would report (128 + signal for a signal), or nothing within 20 s.
    std::optional<int> wait() {
        for (int i = 0, s = 0; !status_ && i < 2000; ++i) {
            if (::waitpid(pid_, &s, WNOHANG) == pid_) {
                status_ = WIFEXITED(s) ? WEXITSTATUS(s) : 128 + WTERMSIG(s);
            } else {
                std::this_thread::sleep_for(10ms);
            }
        }
        return status_;
    }
    std::string out() const { return text_of(out_); }
    std::string err() const { return text_of(err_); }
    // The first lines of standard output once there are count of them, or what came in 10 s.
    std::vector<std::string> lines(std::size_t count) const {
        std::vector<std::string> lines;
        for (int i = 0; i < 1000 && lines.size() < count; ++i, std::this_thread::sleep_for(10ms)) {
            std::istringstream in(out());
            lines.clear();
            for (std::string line; std::getline(in, line) && !in.eof();) lines.push_back(line);
        }
        return lines;
    }

private:
    std::string out_;
    std::string err_;
    pid_t pid_ = -1;
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
    std::string dir;
    const std::string sim = MIRVANE_SIM_PROGRAM;
};

TEST_F(Program, each_run_ends_with_its_exit_status_and_says_why_on_standard_error) {
    const std::string script = dir + "/call.txt";
    std::ofstream(script) << "+100 A5 22\n+0 AD 3G\n";
    const std::string not_executable = dir + "/prog";
    std::ofstream(not_executable) << "#!/bin/sh\n";
    // A copy of the simulator in a folder without mirvane shows where it looks by default.
    const std::string copy = dir + "/mirvane-sim";
    std::filesystem::copy_file(sim, copy);
    const std::string kNoFile = ": No such file or directory\n";
    struct Run {
        Args args;
        int status;
        std::string err;
        std::string out_start = "";
    };
    const Run runs[] = {
        {{sim, "--help"}, 0, "", "Usage: mirvane-sim [OPTION]..."},
        {{sim, "--bogus", "/bin/true"}, 2, "mirvane-sim: unknown option '--bogus'\nTry 'mirvane-sim --help'.\n"},
        // Were the program started, its own status (9) would come back.
        {{sim, "--script", script, "/bin/sh", "-c", "exit 9"}, 2,
         "mirvane-sim: " + script + ":2: '3G' is not a hex byte (two hex digits, 00 to FF)\n"},
        {{sim, "--script", "/nonexistent/a.txt", "/bin/true"}, 2,
         "mirvane-sim: /nonexistent/a.txt: cannot read the script" + kNoFile},
        {{sim, "--script", "/tmp", "/bin/true"}, 2, "mirvane-sim: /tmp: cannot read the script: Is a directory\n"},
        {{sim, "--", not_executable}, 1, "mirvane-sim: cannot start " + not_executable + ": Permission denied\n"},
        {{copy}, 1, "mirvane-sim: cannot start " + dir + "/mirvane" + kNoFile +
                        "mirvane-sim: build Mirvane first, or name the program to start (see --help)\n"},
        {{sim, "sh", "-c", "exit 7"}, 7, "mirvane-sim: sh ended with status 7\n"},  // found on PATH
        {{sim, "/bin/sh", "-c", "kill -TERM $$"}, 128 + SIGTERM, "mirvane-sim: /bin/sh ended with status 143\n"},
    };
    for (const Run& run : runs) {
        Process process(dir, run.args);
        EXPECT_EQ(process.wait(), run.status) << run.args.back();
        EXPECT_EQ(process.err(), run.err);
        EXPECT_EQ(process.out().rfind(run.out_start, 0), 0u) << process.out();
    }
}

// --serve prints the paths of the two lines itself; a started program is given them, and
// here prints them and its own id.
TEST_F(Program, serves_the_lines_it_names_and_ends_cleanly_with_its_program_when_stopped) {
    const std::string names = "echo MIRVANE_PORT1=$MIRVANE_PORT1; echo MIRVANE_PORT2=$MIRVANE_PORT2; echo $$";
    for (const auto& [last, sig] : {std::pair{Args{"--serve"}, SIGINT},
                                    std::pair{Args{"/bin/sh", "-c", names + "; exec sleep 60"}, SIGTERM}}) {
        Args args{sim, "--full-speed", "--no-levels"};
        args.insert(args.end(), last.begin(), last.end());
        Process process(dir, args);
        const std::vector<std::string> lines = process.lines(sig == SIGINT ? 2 : 3);
        ASSERT_GE(lines.size(), 2u) << process.err();
        ASSERT_EQ(lines[0].rfind("MIRVANE_PORT1=/dev/pts/", 0), 0u) << lines[0];
        ASSERT_EQ(lines[1].rfind("MIRVANE_PORT2=/dev/pts/", 0), 0u) << lines[1];
        {
            FarEnd terminal(lines[0].substr(14));
            FarEnd monitor(lines[1].substr(14));
            terminal.send({0xA7, 0xEB});
            EXPECT_EQ(terminal.receive(2), (Bytes{0xA7, 0x21}));
            EXPECT_EQ(monitor.receive(2), (Bytes{0xA7, 0xEB}));
        }
        process.signal(sig);
        EXPECT_EQ(process.wait(), 0);
        EXPECT_EQ(process.err(), "");
        if (lines.size() == 3) {
            EXPECT_NE(::kill(std::stoi(lines[2]), 0), 0) << "the program is gone";
        }
    }
}

}  // namespace
}  // namespace mirvane::sim::testing
