// The test file reader: every kind of mistake named with its line, and a good file read
// into the steps the runner takes.

#include <gtest/gtest.h>

#include "unattended/test_file.h"

namespace mirvane::unattended {
namespace {

std::string listed(const std::vector<Mistake>& mistakes) {
    std::string text;
    for (const Mistake& mistake : mistakes) text += std::to_string(mistake.line) + ": " + mistake.why + "\n";
    return text;
}

std::u16string joined(const std::vector<std::u16string_view>& lines) {
    std::u16string text;
    for (const auto line : lines) text += std::u16string(line) + u"\n";
    return text;
}

TEST(TestFile, every_mistake_is_named_with_its_line_and_the_good_lines_around_it_are_not) {
    const struct {
        std::u16string_view line;
        std::string why;  // a part of the reason; empty: the line is good
    } table[] = {
        {u"lift", "a step before the first case"},
        {u"case one", ""},
        {u"  lift now", "'lift' takes nothing after it: 'now'"},
        {u"  jump", "no step begins with 'jump'"},
        {u"  dial", "'dial' needs NUMBER"},
        {u"  dial 12a", "'dial' takes the digits 0-9, * and #, not '12a'"},
        {u"  dial *#06#  # a comment after the number", ""},
        {u"  key 10", "'key' takes one of 0-9, * and #, not '10'"},
        {u"  key #", ""},
        {u"  hex A7E", "'hex' takes pairs of hex digits, not 'A7E'"},
        {u"  wait 5", "'wait' needs a duration such as 500ms or 2s, not '5'"},
        {u"  wait 1.5.0s", "not '1.5.0s'"},
        {u"  expect ZZ", "'expect' takes codes as two hex digits, not 'ZZ'"},
        {u"  expect AD 30 33 31 32 33", "at most 4 parameters"},
        {u"  expect AD within soon", "'within' needs a duration such as 500ms or 2s, not 'soon'"},
        {u"  expect monitor A6 A7", "'expect monitor' takes one word"},
        {u"  expect level 16", "'expect level' takes 0 to 15, or N..M, not '16'"},
        {u"  expect level 9..3", "not '9..3'"},
        {u"  expect tone G", "'expect tone' takes one hex digit, not 'G'"},
        {u"  expect no AF", "'expect no' needs CODE for DURATION"},
        {u"  expect nothing during 1s", "'expect nothing' needs for DURATION"},
        {u"  expect text", "'expect text' needs TEXT"},
        {u"case one", "case 'one' is already at line 2"},
        {u"  put-down", ""},
        {u"case", "'case' needs NAME"},
        {u"case empty", "case 'empty' has no steps"},
    };
    std::vector<std::u16string_view> lines;
    std::vector<Mistake> expected;
    for (const auto& row : table) {
        lines.push_back(row.line);
        if (!row.why.empty()) expected.push_back({static_cast<int>(lines.size()), row.why});
    }
    const TestFile file = read_test_file("bad.test", joined(lines));
    ASSERT_EQ(file.mistakes.size(), expected.size()) << listed(file.mistakes);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(file.mistakes[i].line, expected[i].line) << expected[i].why;
        EXPECT_NE(file.mistakes[i].why.find(expected[i].why), std::string::npos)
            << "line " << expected[i].line << ": " << file.mistakes[i].why;
    }
    EXPECT_EQ(describe(file, file.mistakes[0]), "bad.test:1: a step before the first case");
    EXPECT_EQ(describe(read_test_file("empty.test", u"# nothing\n"), {0, "no case in the file"}),
              "empty.test: no case in the file");
}

TEST(TestFile, steps_take_their_arguments_and_the_wait_from_the_nearest_within) {
    const TestFile file = read_test_file("good.test", joined({
                                                          u"# a call",
                                                          u"case outgoing call  # named to its end",
                                                          u"\texpect AD 30 33 within 500ms",
                                                          u"within 3s",
                                                          u"  expect level 2..9",
                                                          u"  expect no AF for 1.5s",
                                                          u"  key *",
                                                          u"case 網 情報",
                                                          u"  expect text 網情報 0312",
                                                          u"  expect tone a",
                                                      }));
    ASSERT_TRUE(file.mistakes.empty()) << file.mistakes.front().why;
    ASSERT_EQ(file.cases.size(), 2u);
    EXPECT_EQ(file.cases[0].name, u"outgoing call");
    EXPECT_EQ(file.cases[1].name, u"網 情報");
    const auto& steps = file.cases[0].steps;
    ASSERT_EQ(steps.size(), 4u);
    EXPECT_EQ(steps[0].line, 3);
    EXPECT_EQ(steps[0].codes, (std::vector<std::uint8_t>{0xAD, 0x30, 0x33}));
    EXPECT_EQ(steps[0].duration, milliseconds(500));
    EXPECT_EQ(std::pair(steps[1].low, steps[1].high), std::pair(2, 9));
    EXPECT_EQ(steps[1].duration, milliseconds(3000));
    EXPECT_EQ(steps[2].word, Word::ExpectNo);
    EXPECT_EQ(steps[2].duration, milliseconds(1500));
    EXPECT_EQ(steps[3].text, u"*");
    EXPECT_EQ(file.cases[1].steps[0].text, u"網情報 0312");
    EXPECT_EQ(file.cases[1].steps[1].low, 10);
}

}  // namespace
}  // namespace mirvane::unattended
