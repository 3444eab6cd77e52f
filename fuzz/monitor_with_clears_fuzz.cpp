// Terminal reads, monitor reads and clears in random order: the two writers of the one
// message log racing for its current slot, the clear cutting in anywhere, and the window
// drawing late.

#include "fuzz_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace mirvane::fuzzing;
    if (size == 0) return 0;
    FuzzBench bench(data[0]);
    for_each_record({data + 1, size - 1}, [&](int kind, std::span<const std::uint8_t> payload) {
        switch (kind) {
            case 0: bench.receive(payload); break;
            case 1: bench.tap(payload); break;
            case 2: bench.clear(); break;
            case 3:
                bench.window.hold_drawing = !payload.empty() && payload[0] % 2 == 1;
                bench.panes.draw_and_check();
                break;
        }
        bench.check();
    });
    bench.panes.draw_and_check();
    return 0;
}
