// The terminal line's input with the driver's error marks taken out, one table of reads.

#include <gtest/gtest.h>

#include <vector>

#include "link/marked_input.h"

namespace mirvane {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct MarkCase {
    const char* name;
    std::vector<Bytes> reads;
    Bytes expected;
};

TEST(MarkedInput, gives_a_byte_in_error_as_a_question_mark_and_an_escaped_ff_as_one_ff) {
    const MarkCase cases[] = {
        {"plain bytes", {{0x01, 0x80, 0x3F, 0x00, 0xFE}}, {0x01, 0x80, 0x3F, 0x00, 0xFE}},
        {"escaped ff", {{0x41, 0xFF, 0xFF, 0x42}}, {0x41, 0xFF, 0x42}},
        {"parity error", {{0x41, 0xFF, 0x00, 0xA5, 0x42}}, {0x41, 0x3F, 0x42}},
        {"break", {{0xFF, 0x00, 0x00}}, {0x3F}},
        {"marked ff", {{0xFF, 0x00, 0xFF, 0xFF, 0xFF}}, {0x3F, 0xFF}},
        {"ff, then a mark", {{0xFF, 0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF}}, {0xFF, 0x3F, 0xFF}},
        {"split after ff", {{0x41, 0xFF}, {0x00, 0x55}, {0xFF}, {0xFF, 0x42}}, {0x41, 0x3F, 0xFF, 0x42}},
        {"split after ff 00", {{0xFF, 0x00}, {}, {0x80, 0x81}}, {0x3F, 0x81}},
        {"ff before another byte", {{0xFF, 0x41}}, {0xFF, 0x41}},
    };
    for (const MarkCase& c : cases) {
        MarkedInput input;
        Bytes got;
        for (const Bytes& read : c.reads) {
            const Bytes bytes = input.unmark(read);
            got.insert(got.end(), bytes.begin(), bytes.end());
        }
        EXPECT_EQ(got, c.expected) << c.name;
    }
}

}  // namespace
}  // namespace mirvane
