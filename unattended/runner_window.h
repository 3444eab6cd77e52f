#pragma once
// The in-memory window on Qt's event loop: a yield runs the pending events as the real
// window's does, and a wait sleeps in the loop until an event or its deadline, costing no
// CPU meanwhile. A message box is kept, never shown: the runner reads it as a failure.

#include <QObject>
#include <QTimer>

#include "program/memory_window.h"
#include "unattended/case_runner.h"

namespace mirvane::unattended {

class RunnerWindow final : public QObject, public MemoryWindow, public RunnerHost {
public:
    RunnerWindow();

    void yield() override;
    std::u16string time_of_day() const override;
    std::chrono::milliseconds clock() const override;
    void warn(std::u16string_view message) override;
    // At once: a box here is only kept, it waits for nobody and holds back no line, and the
    // case in hand must see it before its next step.
    void run_later(std::function<void()> turn) override { turn(); }

    void sleep_until(std::chrono::milliseconds deadline) override;
    bool interrupted() const override { return interrupted_; }
    // A signal asks the run to end; the wait in hand ends at once.
    void interrupt() { interrupted_ = true; }

private:
    QTimer wake_{this};
    bool interrupted_ = false;
};

}  // namespace mirvane::unattended
