#pragma once
// The run as JUnit XML, the form GitLab and Jenkins read: testsuites, a testsuite per file,
// a testcase per case with its failure or error and its entries as system-out.

#include <string>
#include <vector>

#include "unattended/results.h"

namespace mirvane::unattended {

std::string junit_xml(const std::vector<FileResult>& files);

}  // namespace mirvane::unattended
