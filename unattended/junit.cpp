#include "unattended/junit.h"

#include "unattended/report.h"
#include "vocabulary/utf8.h"

namespace mirvane::unattended {

namespace {

// Text, and attribute values (in_attribute: whose line breaks must be written as references
// to survive); the control characters XML 1.0 forbids are dropped.
std::string escaped(const std::string& text, bool in_attribute = false) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '&': out += "&amp;"; break;
            case '"': out += "&quot;"; break;
            case '\n': out += in_attribute ? "&#10;" : "\n"; break;
            default:
                if (static_cast<unsigned char>(c) >= 0x20 || c == '\t') out += c;
                break;
        }
    }
    return out;
}

std::string attribute(const char* name, const std::string& value) {
    return std::string(" ") + name + "=\"" + escaped(value, true) + "\"";
}

struct Counts {
    int tests = 0, failures = 0, errors = 0;
    std::chrono::milliseconds time{0};
    void add(const CaseResult& result) {
        ++tests;
        failures += result.outcome == Outcome::failed;
        errors += result.outcome == Outcome::error;
        time += result.time;
    }
    std::string attributes() const {
        return attribute("tests", std::to_string(tests)) + attribute("failures", std::to_string(failures)) +
               attribute("errors", std::to_string(errors)) + attribute("time", seconds_text(time));
    }
};

std::string testcase(const FileResult& file, const CaseResult& result) {
    std::string xml = "    <testcase" + attribute("name", to_utf8(result.name)) + attribute("classname", file.path) +
                      attribute("file", file.path) + attribute("line", std::to_string(result.line)) +
                      attribute("time", seconds_text(result.time)) + ">\n";
    if (result.outcome != Outcome::passed) {
        const char* kind = result.outcome == Outcome::failed ? "failure" : "error";
        const std::string first_line = result.message.substr(0, result.message.find('\n'));
        xml += std::string("      <") + kind + attribute("message", first_line) + ">" + escaped(result.message) + "</" +
               kind + ">\n";
    }
    std::string out;
    for (const std::u16string& line : result.log) out += to_utf8(line) + "\n";
    if (!out.empty()) xml += "      <system-out>" + escaped(out) + "</system-out>\n";
    return xml + "    </testcase>\n";
}

}  // namespace

std::string junit_xml(const std::vector<FileResult>& files) {
    Counts all;
    std::string suites;
    for (const FileResult& file : files) {
        Counts counts;
        std::string cases;
        for (const CaseResult& result : file.cases) {
            counts.add(result);
            all.add(result);
            cases += testcase(file, result);
        }
        suites +=
            "  <testsuite" + attribute("name", file.path) + counts.attributes() + ">\n" + cases + "  </testsuite>\n";
    }
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites" + attribute("name", "mirvane-test") +
           all.attributes() + ">\n" + suites + "</testsuites>\n";
}

}  // namespace mirvane::unattended
