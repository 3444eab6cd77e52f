// The two name tables: inside their range the catalogue test reads every name through the
// decoder; outside it they must leave the caller's text alone.

#include <gtest/gtest.h>

#include "vocabulary/names.h"

namespace mirvane {
namespace {

TEST(Names, values_outside_the_tables_leave_the_callers_text_as_it_was) {
    std::u16string text = u"5";
    for (const std::uint8_t code : {0x00, 0x8F, 0xA0, 0xFF}) dial_conv1(text, code);
    tone_ana(text, 16);
    EXPECT_EQ(text, u"5");
}

}  // namespace
}  // namespace mirvane
