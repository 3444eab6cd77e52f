#pragma once
// Runs a program as a child process for tests: its output is collected, its lines can be
// awaited, it can be signalled, and it never outlives its time limit.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace mirvane::sim::testing {

class Process {
public:
    explicit Process(const std::vector<std::string>& args,
                     const std::vector<std::string>& environment = {}) {
        int out[2];
        int err[2];
        if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) {
            throw std::runtime_error("no pipe");
        }
        std::vector<char*> argv;
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        pid_ = ::fork();
        if (pid_ < 0) throw std::runtime_error("no fork");
        if (pid_ == 0) {
            ::dup2(out[1], 1);
            ::dup2(err[1], 2);
            for (const std::string& e : environment) ::putenv(const_cast<char*>(e.c_str()));
            ::execv(argv[0], argv.data());
            ::_exit(126);
        }
        ::close(out[1]);
        ::close(err[1]);
        out_ = out[0];
        err_ = err[0];
        ::fcntl(out_, F_SETFL, O_NONBLOCK);
        ::fcntl(err_, F_SETFL, O_NONBLOCK);
    }
    ~Process() {
        if (!status_) {
            ::kill(pid_, SIGKILL);
            int s;
            ::waitpid(pid_, &s, 0);
        }
        ::close(out_);
        ::close(err_);
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // The next line of standard output, or nothing if none comes in time.
    std::optional<std::string> line(std::chrono::milliseconds within = std::chrono::seconds(10)) {
        const auto deadline = std::chrono::steady_clock::now() + within;
        for (;;) {
            if (const std::size_t nl = out_text_.find('\n', taken_); nl != std::string::npos) {
                std::string l = out_text_.substr(taken_, nl - taken_);
                taken_ = nl + 1;
                return l;
            }
            if (!pump(deadline)) return std::nullopt;
        }
    }

    void signal(int sig) { ::kill(pid_, sig); }

    // Waits for the end and gives the shell's exit status (128 + signal for a signal), or
    // nothing if it has not ended in time.
    std::optional<int> wait(std::chrono::milliseconds within = std::chrono::seconds(20)) {
        const auto deadline = std::chrono::steady_clock::now() + within;
        while (!status_) {
            int s = 0;
            if (::waitpid(pid_, &s, WNOHANG) == pid_) {
                status_ = WIFEXITED(s) ? WEXITSTATUS(s) : 128 + WTERMSIG(s);
                break;
            }
            if (std::chrono::steady_clock::now() > deadline) return std::nullopt;
            pump(std::chrono::steady_clock::now() + std::chrono::milliseconds(20));
        }
        // Whatever is left in the pipes.
        while (pump(std::chrono::steady_clock::now())) {
        }
        return status_;
    }

    const std::string& out() const { return out_text_; }
    const std::string& err() const { return err_text_; }

private:
    // Reads what is there or comes before the deadline; false when nothing came.
    bool pump(std::chrono::steady_clock::time_point deadline) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd fds[2] = {{out_, POLLIN, 0}, {err_, POLLIN, 0}};
        if (::poll(fds, 2, std::max<int>(0, static_cast<int>(left.count()))) <= 0) return false;
        bool got = false;
        char buffer[4096];
        ssize_t n;
        if ((n = ::read(out_, buffer, sizeof buffer)) > 0) {
            out_text_.append(buffer, static_cast<std::size_t>(n));
            got = true;
        }
        if ((n = ::read(err_, buffer, sizeof buffer)) > 0) {
            err_text_.append(buffer, static_cast<std::size_t>(n));
            got = true;
        }
        return got;
    }

    pid_t pid_ = -1;
    int out_ = -1;
    int err_ = -1;
    std::string out_text_;
    std::string err_text_;
    std::size_t taken_ = 0;
    std::optional<int> status_;
};

}  // namespace mirvane::sim::testing
