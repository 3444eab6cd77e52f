// The send routine every sending command shares: the byte goes out, and the wait for it to
// leave keeps the lines decoding.

#include <gtest/gtest.h>

#include "link/send.h"
#include "support/core_rig.h"

namespace mirvane::testing {
namespace {

TEST(Send, writes_the_byte_then_waits_turn_by_turn_until_it_has_left_decoding_what_arrives) {
    CoreRig rig(true);
    rig.window.after_yield = [&] {
        if (rig.window.yields == 2) rig.receive({0xA7});
        if (rig.window.yields >= 3) rig.terminal.drain();  // the line takes it on the third turn
    };
    EXPECT_TRUE(MSComm_send(rig.program, u"label", 0x00));
    EXPECT_EQ(rig.terminal.line, Bytes{0x00});
    EXPECT_EQ(rig.window.yields, 3);
    EXPECT_EQ(rig.log_pane(), u"A7 __ __ __ __ : [10:15:01] 通話中表示ON");

    CoreRig stopped;
    EXPECT_FALSE(MSComm_send(stopped.program, u"x", 0xA6));
    EXPECT_EQ(stopped.terminal.misuses + stopped.window.yields, 0) << "a closed port is not touched";
}

}  // namespace
}  // namespace mirvane::testing
