#include "unattended/runner_window.h"

#include <QCoreApplication>
#include <QTime>
#include <cstdio>

#include "vocabulary/utf8.h"

namespace mirvane::unattended {

namespace {

// A yield returns after a millisecond at most when nothing comes, so that the send's wait
// looks at its byte again, as it does in the window.
constexpr std::chrono::milliseconds kYieldTurn{1};

}  // namespace

RunnerWindow::RunnerWindow() {
    wake_.setSingleShot(true);
    wake_.setTimerType(Qt::PreciseTimer);
}

void RunnerWindow::yield() {
    wake_.start(kYieldTurn);
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    wake_.stop();
}

std::u16string RunnerWindow::time_of_day() const {
    return QTime::currentTime().toString(QStringLiteral("hh:mm:ss")).toStdU16String();
}

std::chrono::milliseconds RunnerWindow::clock() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch());
}

void RunnerWindow::warn(std::u16string_view message) {
    MemoryWindow::warn(message);
    std::fprintf(stderr, "%s\n", to_utf8(message).c_str());
}

void RunnerWindow::sleep_until(std::chrono::milliseconds deadline) {
    const auto left = deadline - clock();
    if (left.count() <= 0) return;
    wake_.start(left);
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    wake_.stop();
}

}  // namespace mirvane::unattended
