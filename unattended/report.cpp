#include "unattended/report.h"

#include <cstdio>

#include "vocabulary/utf8.h"

namespace mirvane::unattended {

namespace {

std::string indented(const std::string& text) {
    std::string out = "    ";
    for (const char c : text) {
        out += c;
        if (c == '\n') out += "    ";
    }
    return out + "\n";
}

}  // namespace

std::string seconds_text(std::chrono::milliseconds time) {
    char text[32];
    std::snprintf(text, sizeof text, "%lld.%03lld", static_cast<long long>(time.count() / 1000),
                  static_cast<long long>(time.count() % 1000));
    return text;
}

std::string case_line(const FileResult& file, const CaseResult& result) {
    static constexpr const char* kWords[] = {"passed", "FAILED", "ERROR "};
    std::string line = std::string(kWords[static_cast<int>(result.outcome)]) + "  " + file.path + ": " +
                       to_utf8(result.name) + "  (" + seconds_text(result.time) + " s)\n";
    if (result.outcome != Outcome::passed) line += indented(result.message);
    return line;
}

std::string closing_line(const std::vector<FileResult>& files) {
    int passed = 0, failed = 0;
    for (const FileResult& file : files) {
        for (const CaseResult& result : file.cases) ++(result.outcome == Outcome::passed ? passed : failed);
    }
    return std::to_string(passed) + " passed, " + std::to_string(failed) + " failed\n";
}

bool all_passed(const std::vector<FileResult>& files) {
    for (const FileResult& file : files) {
        for (const CaseResult& result : file.cases) {
            if (result.outcome != Outcome::passed) return false;
        }
    }
    return true;
}

}  // namespace mirvane::unattended
