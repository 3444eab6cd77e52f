#pragma once
// A test file read into its cases and steps, or every mistake in it with its line. Nothing
// is opened and nothing runs here: --check is this reader alone.

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "unattended/test_words.h"

namespace mirvane::unattended {

using std::chrono::milliseconds;

inline constexpr milliseconds kDefaultWithin{2000};

struct Step {
    int line = 0;
    Word word = Word::Start;
    std::u16string source;            // the line as written, without comment and indentation
    std::u16string text;              // number, hex text, meaning text, dial digits, or the key
    std::vector<std::uint8_t> codes;  // code and parameters
    int low = 0, high = 0;            // level range; the tone digit in low
    milliseconds duration{0};         // wait, within, or the span of a "no" expectation
};

struct TestCase {
    std::u16string name;
    int line = 0;
    std::vector<Step> steps;
};

struct Mistake {
    int line = 0;  // 0: the file as a whole
    std::string why;
};

struct TestFile {
    std::string path;
    std::vector<TestCase> cases;
    std::vector<Mistake> mistakes;
};

// Reads `text`, the file's content, already decoded from UTF-8.
TestFile read_test_file(std::string path, std::u16string_view text);

// "path:line: why", as compilers name a mistake.
std::string describe(const TestFile& file, const Mistake& mistake);

}  // namespace mirvane::unattended
