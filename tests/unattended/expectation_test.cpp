// Whether an expectation holds over an entry or over the labels, as the file's words say.

#include <gtest/gtest.h>

#include "unattended/expectation.h"

namespace mirvane::unattended {
namespace {

Step step_of(std::u16string_view line) {
    const TestFile file = read_test_file("t.test", u"case c\n" + std::u16string(line) + u"\n");
    EXPECT_TRUE(file.mistakes.empty()) << file.mistakes.front().why;
    return file.cases.at(0).steps.at(0);
}

TEST(Expectation, an_entry_meets_what_its_kind_code_parameters_or_text_ask_for) {
    const struct {
        std::u16string_view step;
        std::u16string_view line;  // as the session log receives it
        bool met;
    } table[] = {
        {u"expect AD 30 33 31 32", u"AD 30 33 31 32 : [14:02:07] 網情報 0312", true},
        {u"expect AD 30 33", u"AD 30 33 31 32 : [14:02:07] 網情報 0312", true},
        {u"expect AD 30 39", u"AD 30 33 31 32 : [14:02:07] 網情報 0312", false},
        {u"expect ad", u"AD 30 33 31 32 : [14:02:07] 網情報 0312", true},
        {u"expect C7 00", u"C7 __ __ __ __ : [14:02:05] 受信レベル [7]", false},
        {u"expect A7", u"__ __ __ __ A7 : [14:02:06] 受話器を上げる", false},
        {u"expect monitor A7", u"__ __ __ __ A7 : [14:02:06] 受話器を上げる", true},
        {u"expect monitor A7", u"A7 __ __ __ __ : [14:02:06] 通話中表示ON", false},
        {u"expect text 網情報", u"AD 30 33 31 32 : [14:02:07] 網情報 0312", true},
        {u"expect text 待受", u"AD 30 33 31 32 : [14:02:07] 網情報 0312", false},
        {u"expect no AF for 1s", u"AF __ __ __ __ : [14:02:07] 待受", true},
        {u"expect no AF for 1s", u"__ __ __ __ AF : [14:02:07] ?", false},
        {u"expect nothing for 1s", u"__ __ __ __ 86 : [14:02:07] ダイヤル完了", true},
    };
    for (const auto& row : table) {
        Entry entry;
        ASSERT_TRUE(parse_entry(row.line, entry));
        EXPECT_EQ(entry_matches(step_of(row.step), entry), row.met) << &row - table;
    }
    Entry clear;
    EXPECT_FALSE(parse_entry(u"---- 情報表示消去 ----", clear));
}

TEST(Expectation, the_labels_and_dial_data_are_read_as_they_show) {
    const Labels shown{u"受信レベル：12", u"Tone　：　A", u"0312*#"};
    const Labels unset{u"受信レベル：", u"Tone ：", u""};
    const struct {
        std::u16string_view step;
        const Labels& labels;
        bool met;
    } table[] = {
        {u"expect level 12", shown, true},        {u"expect level 10..15", shown, true},
        {u"expect level 1", shown, false},        {u"expect level 0..11", shown, false},
        {u"expect level 0", unset, false},        {u"expect tone A", shown, true},
        {u"expect tone 0", unset, false},         {u"expect dial-data 2*#", shown, true},
        {u"expect dial-data 0312", shown, false},
    };
    for (const auto& row : table) EXPECT_EQ(labels_match(step_of(row.step), row.labels), row.met) << &row - table;
    EXPECT_TRUE(labels_match(step_of(u"expect tone 0"), {u"", u"Tone ： 0", u""}));
}

}  // namespace
}  // namespace mirvane::unattended
