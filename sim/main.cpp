// mirvane-sim: a simulated handset on two pseudo-terminals, with Mirvane (or another
// program) started on them.

#include <fcntl.h>
#include <signal.h>
#include <sys/timerfd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "mirvane_version.h"
#include "sim/launch.h"
#include "sim/options.h"
#include "sim/pty.h"
#include "sim/script.h"
#include "sim/simulator.h"
#include "vocabulary/capture_format.h"

namespace {

using namespace mirvane::sim;

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// Signals reach the poll loop through this pipe.
int signal_pipe[2] = {-1, -1};

void on_signal(int sig) {
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(sig);
    [[maybe_unused]] const ssize_t n = ::write(signal_pipe[1], &byte, 1);
    errno = saved;
}

bool catch_signals() {
    if (::pipe2(signal_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    struct sigaction action {};
    action.sa_handler = on_signal;
    ::sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART | SA_NOCLDSTOP;
    for (const int sig : {SIGINT, SIGTERM, SIGCHLD}) {
        if (::sigaction(sig, &action, nullptr) != 0) return false;
    }
    // A far side that goes away must not end the simulator.
    ::signal(SIGPIPE, SIG_IGN);
    return true;
}

int complain(int status, const std::string& message) {
    std::fprintf(stderr, "mirvane-sim: %s\n", message.c_str());
    return status;
}

// Asks the program to end, and insists if it will not. The lines are served meanwhile and
// a little after, so that what the program sends on its way out (the hang-up of a call)
// reaches the handset.
int stop_program(Simulator& simulator, pid_t pid) {
    constexpr auto kTick = std::chrono::milliseconds(20);
    constexpr auto kAfterEnd = std::chrono::milliseconds(200);
    ::kill(pid, SIGTERM);
    const UniqueFd tick(::timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK));
    const itimerspec every{{0, kTick.count() * 1'000'000}, {0, kTick.count() * 1'000'000}};
    const bool serving = tick && ::timerfd_settime(tick.get(), 0, &every, nullptr) == 0;
    const auto start = std::chrono::steady_clock::now();
    std::optional<int> status;
    std::chrono::steady_clock::time_point ended;
    for (;;) {
        if (!serving || simulator.serve_until(tick.get())) {
            std::this_thread::sleep_for(kTick);
        } else {
            std::uint64_t expirations = 0;
            [[maybe_unused]] const ssize_t n = ::read(tick.get(), &expirations, sizeof expirations);
        }
        const auto now = std::chrono::steady_clock::now();
        if (!status) {
            int wait_status = 0;
            const pid_t done = ::waitpid(pid, &wait_status, WNOHANG);
            if (done == pid || (done < 0 && errno != EINTR)) {
                status = done == pid ? wait_status : 0;
                ended = now;
            } else if (now - start > std::chrono::seconds(5)) {
                ::kill(pid, SIGKILL);
            }
        }
        if (status && (!serving || now - ended >= kAfterEnd)) return *status;
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const auto parsed = parse_options(args);
    if (std::holds_alternative<ShowHelp>(parsed)) {
        std::fputs(usage_text(scenario_folders()).c_str(), stdout);
        return 0;
    }
    if (std::holds_alternative<ShowVersion>(parsed)) {
        std::puts("mirvane-sim " MIRVANE_VERSION);
        return 0;
    }
    if (const auto* error = std::get_if<OptionError>(&parsed)) {
        complain(kExitUsage, error->message);
        std::fputs("Try 'mirvane-sim --help' for more.\n", stderr);
        return kExitUsage;
    }
    const Options& options = std::get<Options>(parsed);

    SimulatorSettings settings;
    // A script or a capture, named by its path or as a shipped scenario.
    if (const auto& played = options.played) {
        const char* extension = played->format == Format::Script ? ".txt" : ".capture";
        auto loaded = load_script(find_scenario(played->path, extension), played->format, options.max_gap);
        if (const auto* error = std::get_if<ScriptError>(&loaded)) return complain(kExitUsage, error->message);
        settings.played = std::get<Script>(std::move(loaded));
        const auto& actions = settings.played->actions;
        if (std::ranges::any_of(actions, [](int n) { return n > 0; })) {
            std::string counts;
            for (const auto action : {mirvane::CaptureAction::start, mirvane::CaptureAction::stop,
                                      mirvane::CaptureAction::clear, mirvane::CaptureAction::sent}) {
                const int n = actions[static_cast<std::size_t>(action)];
                if (n > 0)
                    counts += (counts.empty() ? "" : ", ") + std::to_string(n) + " " +
                              std::string(mirvane::action_name(action));
            }
            std::fprintf(
                stderr,
                "mirvane-sim: the capture records actions and sends a far side cannot repeat (%s); only its reads are "
                "played (mirvane --replay FILE repeats them)\n",
                counts.c_str());
        }
        for (const std::string& warning : settings.played->warnings)
            std::fprintf(stderr, "mirvane-sim: %s\n", warning.c_str());
    }
    settings.full_speed = options.full_speed;
    settings.answers = options.answers;
    settings.levels = options.levels_on();
    settings.seed = options.seed ? *options.seed : std::random_device{}();
    settings.trace = options.trace ? stderr : nullptr;

    auto terminal = open_pty_line();
    if (const auto* error = std::get_if<std::string>(&terminal)) {
        return complain(kExitFailure, *error);
    }
    auto monitor = open_pty_line();
    if (const auto* error = std::get_if<std::string>(&monitor)) {
        return complain(kExitFailure, *error);
    }
    Simulator simulator(std::get<PtyLine>(std::move(terminal)), std::get<PtyLine>(std::move(monitor)),
                        std::move(settings));

    if (!catch_signals()) {
        return complain(kExitFailure, std::string("cannot catch signals: ") + std::strerror(errno));
    }
    ::setenv("MIRVANE_PORT1", simulator.terminal_path().c_str(), 1);
    ::setenv("MIRVANE_PORT2", simulator.monitor_path().c_str(), 1);

    pid_t program = -1;
    if (options.serve) {
        std::printf("MIRVANE_PORT1=%s\nMIRVANE_PORT2=%s\n", simulator.terminal_path().c_str(),
                    simulator.monitor_path().c_str());
        std::fflush(stdout);
    } else {
        const bool by_default = options.command.empty();
        const std::vector<std::string> command =
            by_default ? std::vector<std::string>{beside_self("mirvane")} : options.command;
        auto started = start_program(command);
        if (const auto* error = std::get_if<std::string>(&started)) {
            complain(kExitFailure, *error);
            if (by_default) {
                std::fputs(
                    "mirvane-sim: build Mirvane first, or name the program to start "
                    "(see --help)\n",
                    stderr);
            }
            return kExitFailure;
        }
        program = std::get<pid_t>(started);
    }

    for (;;) {
        if (auto failure = simulator.serve_until(signal_pipe[0])) {
            complain(kExitFailure, *failure);
            if (program > 0) stop_program(simulator, program);
            return kExitFailure;
        }
        unsigned char sig = 0;
        while (::read(signal_pipe[0], &sig, 1) == 1) {
            if (sig == SIGINT || sig == SIGTERM) {
                if (program > 0) stop_program(simulator, program);
                if (options.trace) {
                    const Traffic& t = simulator.traffic();
                    std::fprintf(stderr,
                                 "mirvane-sim: heard %ld, tapped %ld, spoke %ld, replayed %ld, "
                                 "lost %ld bytes\n",
                                 t.heard, t.tapped, t.spoken, t.replayed, t.lost);
                }
                return 0;
            }
            if (sig == SIGCHLD && program > 0) {
                int status = 0;
                if (::waitpid(program, &status, WNOHANG) == program) {
                    const int code = shell_status(status);
                    if (code != 0) {
                        std::fprintf(stderr, "mirvane-sim: %s ended with status %d\n",
                                     options.command.empty() ? "mirvane" : options.command.front().c_str(), code);
                    }
                    return code;
                }
            }
        }
    }
}
