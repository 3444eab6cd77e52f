#pragma once
// What the runner prints: a line per case as it ends, then the closing count.

#include <string>
#include <vector>

#include "unattended/results.h"

namespace mirvane::unattended {

// "passed  NAME  (1.23 s)", and for a case that did not pass, its message indented below.
std::string case_line(const FileResult& file, const CaseResult& result);

// "N passed, N failed": a case that could not run counts as failed.
std::string closing_line(const std::vector<FileResult>& files);

// Whether every case passed.
bool all_passed(const std::vector<FileResult>& files);

// Seconds with three decimals, as the JUnit file and the report give times.
std::string seconds_text(std::chrono::milliseconds time);

}  // namespace mirvane::unattended
