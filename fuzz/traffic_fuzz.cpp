// Terminal reads, monitor reads and clears in random order, the window drawing now at once,
// now after many renders: the two writers of the one message log racing for its current
// slot, the clear cutting in anywhere, and the panes held to the plain render throughout.
//
// The first byte may shrink the rings; then records follow: a header byte whose top two
// bits say what happens and whose low six bits count the payload bytes after it.

#include "fuzz_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace mirvane::fuzzing;
    if (size == 0) return 0;
    FuzzRig rig(data[0]);
    for (std::size_t at = 1; at < size;) {
        const std::uint8_t header = data[at++];
        const std::span<const std::uint8_t> payload(data + at, std::min<std::size_t>(header & 0x3F, size - at));
        at += payload.size();
        switch (header >> 6) {
            case 0: rig.receive(payload); break;
            case 1: rig.tap(payload); break;
            case 2: rig.clear(); break;
            case 3:
                rig.window.hold_drawing = !payload.empty() && payload[0] % 2 == 1;
                rig.panes.draw_and_check();
                break;
        }
        rig.check();
    }
    rig.panes.draw_and_check();
    return 0;
}
