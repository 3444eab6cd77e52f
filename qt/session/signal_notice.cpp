#include "qt/session/signal_notice.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

namespace mirvane::qt {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The self-pipe: the handler writes, the event loop reads.
int signal_pipe[2] = {-1, -1};

extern "C" void note_signal(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signal_pipe[1], &byte, 1);
    errno = saved;
}

}  // namespace

SignalNotice::SignalNotice(const char* program, std::function<void()> on_signal) : on_signal_(std::move(on_signal)) {
    if (::pipe2(signal_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        std::fprintf(stderr, "%s: signals end it at once: %s\n", program, std::strerror(errno));
        return;
    }
    notifier_ = std::make_unique<QSocketNotifier>(signal_pipe[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
        char drained[16];
        while (::read(signal_pipe[0], drained, sizeof drained) > 0) {
        }
        on_signal_();
    });
    struct sigaction action {};
    action.sa_handler = note_signal;
    ::sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int sig : kSignals) ::sigaction(sig, &action, nullptr);
}

SignalNotice::~SignalNotice() {
    for (const int sig : kSignals) ::signal(sig, SIG_DFL);
    notifier_.reset();
    for (int& end : signal_pipe) {
        if (end >= 0) ::close(end);
        end = -1;
    }
}

}  // namespace mirvane::qt
