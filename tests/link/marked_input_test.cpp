// The terminal line's input with the driver's error marks taken out: one table of reads.

#include <gtest/gtest.h>

#include "link/marked_input.h"

namespace mirvane {

using Bytes = std::vector<std::uint8_t>;

TEST(MarkedInput, gives_a_byte_in_error_as_a_question_mark_and_an_escaped_ff_as_one_ff) {
    // clang-format off
    const std::tuple<const char*, std::vector<Bytes>, Bytes> cases[] = {
        {"plain, escaped ff, parity error", {{0x01, 0x80, 0x3F, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0xA5}},
            {0x01, 0x80, 0x3F, 0x00, 0xFF, 0x3F}},
        {"break, marked ff", {{0xFF, 0x00, 0x00, 0xFF, 0x00, 0xFF, 0xFF, 0xFF}}, {0x3F, 0x3F, 0xFF}},
        // The last 0xFF 0x41 the driver does not send; the 0xFF is not lost.
        {"split marks", {{0x41, 0xFF}, {0x00, 0x55}, {0xFF}, {0xFF, 0xFF, 0x00}, {}, {0x80, 0x81, 0xFF}, {0x41}},
            {0x41, 0x3F, 0xFF, 0x3F, 0x81, 0xFF, 0x41}}};
    // clang-format on
    for (const auto& [name, reads, expected] : cases) {
        MarkedInput input;
        Bytes got;
        for (const Bytes& read : reads) {
            const Bytes bytes = input.unmark(read);
            got.insert(got.end(), bytes.begin(), bytes.end());
        }
        EXPECT_EQ(got, expected) << name;
    }
}

}  // namespace mirvane
