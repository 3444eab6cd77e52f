#include "sim/launch.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>

namespace mirvane::sim {

std::variant<pid_t, std::string> start_program(const std::vector<std::string>& command) {
    if (command.empty() || command.front().empty()) return std::string("no program to start");

    // The child reports a failed exec through this pipe; a successful exec closes it.
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) {
        return std::string("cannot start ") + command.front() + ": " + std::strerror(errno);
    }
    std::vector<char*> argv;
    for (const std::string& arg : command) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const pid_t parent = ::getpid();

    const pid_t pid = ::fork();
    if (pid < 0) {
        const int error = errno;
        ::close(report[0]);
        ::close(report[1]);
        return std::string("cannot start ") + command.front() + ": " + std::strerror(error);
    }
    if (pid == 0) {
        ::close(report[0]);
        // The program starts with the signal handling a shell would give it.
        sigset_t none;
        ::sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        for (const int sig : {SIGINT, SIGTERM, SIGCHLD, SIGPIPE}) ::signal(sig, SIG_DFL);
        // A simulator that dies takes its program with it instead of leaving it on
        // dead lines.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent) ::_exit(127);
        ::execvp(argv[0], argv.data());
        const int error = errno;
        [[maybe_unused]] const ssize_t n = ::write(report[1], &error, sizeof error);
        ::_exit(127);
    }
    ::close(report[1]);
    int error = 0;
    ssize_t n;
    do {
        n = ::read(report[0], &error, sizeof error);
    } while (n < 0 && errno == EINTR);
    ::close(report[0]);
    if (n == sizeof error) {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        return std::string("cannot start ") + command.front() + ": " + std::strerror(error);
    }
    return pid;
}

std::string beside_self(const std::string& name) {
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return name;
    std::string self(path, static_cast<std::size_t>(n));
    const std::size_t slash = self.rfind('/');
    return self.substr(0, slash + 1) + name;
}

std::vector<std::string> scenario_folders() {
    namespace fs = std::filesystem;
    const fs::path self = fs::path(beside_self("")).parent_path();
    std::vector<std::string> folders{(self / "../share/mirvane/scenarios").lexically_normal().string()};
    std::error_code error;
    if (fs::equivalent(self, MIRVANE_BUILD_DIR, error)) {
        folders.push_back(MIRVANE_SOURCE_DIR "/sim/scenarios");
    }
    return folders;
}

std::string find_scenario(const std::string& name, const std::string& extension) {
    std::error_code error;
    if (std::filesystem::exists(name, error) || name.find('/') != std::string::npos) return name;
    for (const std::string& folder : scenario_folders()) {
        for (const std::string& file : {name, name + extension}) {
            const std::string path = folder + "/" + file;
            if (std::filesystem::is_regular_file(path, error)) return path;
        }
    }
    return name;
}

int shell_status(int wait_status) {
    if (WIFEXITED(wait_status)) return WEXITSTATUS(wait_status);
    if (WIFSIGNALED(wait_status)) return 128 + WTERMSIG(wait_status);
    return 1;
}

}  // namespace mirvane::sim
