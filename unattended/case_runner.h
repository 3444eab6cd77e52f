#pragma once
// Runs the cases of test files on the core, as an operator would press the window's
// controls, and judges each expectation over the entries and labels the core produces.
// No toolkit here: the event loop is reached through the host.

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "program/memory_window.h"
#include "program/program.h"
#include "unattended/entry_log.h"
#include "unattended/results.h"
#include "unattended/test_file.h"

namespace mirvane::unattended {

class RunnerHost {
public:
    virtual ~RunnerHost() = default;
    // Runs the events that come, sleeping while none does, and returns after a batch of
    // them or at the deadline (on the window's clock), whichever is first.
    virtual void sleep_until(std::chrono::milliseconds deadline) = 0;
    // The run was asked to end (a signal): the case in hand and those left are errors.
    virtual bool interrupted() const = 0;
};

class CaseRunner {
public:
    CaseRunner(Program& program, MemoryWindow& window, const EntryLog& log, RunnerHost& host)
        : program_(program), window_(window), log_(log), host_(host) {}

    // Starts terminal communication; what the box said when it could not.
    std::optional<std::u16string> start();
    // Runs every case of the file, each reported through `ended` as it ends.
    FileResult run(const TestFile& file, const std::function<void(const FileResult&, const CaseResult&)>& ended);
    // Puts the receiver down if it is up and stops terminal communication.
    void finish();

private:
    CaseResult run_case(const std::string& path, const TestCase& test_case);
    std::optional<std::string> prepare();
    // The reason the step failed; nothing when it held.
    std::optional<std::string> act(const Step& step);
    std::optional<std::string> expect(const Step& step);
    bool enabled(const Step& step) const;
    std::optional<std::string> new_box();
    // Lets the answers to a put-down come in, so that they belong to what came before.
    void settle();

    Program& program_;
    MemoryWindow& window_;
    const EntryLog& log_;
    RunnerHost& host_;
    std::size_t boxes_seen_ = 0;
    std::size_t cursor_ = 0;  // the first entry the next expectation may be met by
    std::string not_run_;     // why the cases left cannot run: the line was lost, or an interrupt
};

}  // namespace mirvane::unattended
