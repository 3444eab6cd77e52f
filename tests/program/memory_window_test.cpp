// What the in-memory window supplies itself when nobody overrides it: the local time of day,
// as the log stamps it.

#include <gtest/gtest.h>

#include "program/memory_window.h"

namespace mirvane {
namespace {

TEST(MemoryWindow, tells_the_time_of_day_as_hh_mm_ss) {
    const std::u16string now = MemoryWindow().time_of_day();
    ASSERT_EQ(now.size(), 8u);
    for (std::size_t i = 0; i < now.size(); ++i) EXPECT_EQ(now[i] == u':', i == 2 || i == 5) << i;
    EXPECT_LT(std::stoi(std::string(now.begin(), now.begin() + 2)), 24);
}

}  // namespace
}  // namespace mirvane
