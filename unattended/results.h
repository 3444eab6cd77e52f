#pragma once
// What a run found, case by case, as the report and the JUnit file give it.

#include <chrono>
#include <string>
#include <vector>

namespace mirvane::unattended {

enum class Outcome : std::uint8_t {
    passed,
    failed,  // an expectation not met, a message box
    error,   // could not run or finish: a lost line before it, an interrupt, a line that would not start
};

struct CaseResult {
    std::u16string name;
    int line = 0;
    Outcome outcome = Outcome::passed;
    std::string message;              // "file:line: what was expected, what came"
    std::vector<std::u16string> log;  // the case's entries, as the log pane shows them
    std::chrono::milliseconds time{0};
};

struct FileResult {
    std::string path;
    std::vector<CaseResult> cases;
};

}  // namespace mirvane::unattended
