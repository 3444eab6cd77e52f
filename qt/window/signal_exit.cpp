#include "qt/window/signal_exit.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QString>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "program/captions.h"
#include "qt/session/named_files.h"
#include "shell/communication.h"
#include "vocabulary/command_codes.h"

namespace mirvane::qt {

namespace {

// The program that is to be ended on the way out of exit(), while one runs.
Program* running_program = nullptr;

// The descriptor through which this process has `device` open.
int open_descriptor(const std::u16string& device) {
    struct stat wanted {
    }, open{};
    if (::stat(device_path(QString::fromStdU16String(device)).constData(), &wanted) != 0) return -1;
    DIR* descriptors = ::opendir("/proc/self/fd");
    int found = -1;
    for (const dirent* entry; descriptors != nullptr && found < 0 && (entry = ::readdir(descriptors)) != nullptr;) {
        const int descriptor = std::atoi(entry->d_name);
        if (entry->d_name[0] != '.' && ::fstat(descriptor, &open) == 0 && S_ISCHR(open.st_mode) &&
            open.st_rdev == wanted.st_rdev) {
            found = descriptor;
        }
    }
    if (descriptors != nullptr) ::closedir(descriptors);
    return found;
}

// Qt calls exit(1) from inside its event loop when the display's connection breaks. No event
// may run any more (the next one would end the program again), so the port cannot send as
// it does; the hang-up goes to the device itself, and the driver gets its exit wait to send
// it. Closing the lines takes their lock files with them.
extern "C" void end_without_window() {
    Program* program = std::exchange(running_program, nullptr);
    if (program == nullptr || program->state.ended) return;
    if (!program->state.exiting && communication_running(program->window) &&
        program->window.caption(Control::Command4) == caption::kPutReceiverDown) {
        const int descriptor = open_descriptor(program->MSComm1.device_name());
        const std::uint8_t hang_up = command_code::kOnHook;
        if (descriptor >= 0 && ::write(descriptor, &hang_up, 1) == 1) {
            const auto until = std::chrono::steady_clock::now() + kExitHangUpWait;
            for (int queued = 1; ::ioctl(descriptor, TIOCOUTQ, &queued) == 0 && queued > 0 &&
                                 std::chrono::steady_clock::now() < until;) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        }
    }
    program->MSComm1.close();
    program->MSComm2.close();
}

}  // namespace

// A second signal during the exit's wait finds it begun and does nothing more.
SignalExit::SignalExit(Program& program) : program_(program), notice_("mirvane", [this] { Command2_Click(program_); }) {
    static const bool registered = std::atexit(end_without_window) == 0;
    if (!registered) std::fputs("mirvane: a display that goes away leaves the lines locked\n", stderr);
    running_program = &program;
}

SignalExit::~SignalExit() { running_program = nullptr; }

}  // namespace mirvane::qt
