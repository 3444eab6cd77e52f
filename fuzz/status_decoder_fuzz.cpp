// Random terminal traffic, in reads of random length, through the terminal port's event
// into R_Analize; the window draws now at once, now after many renders.

#include "fuzz_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace mirvane::fuzzing;
    if (size == 0) return 0;
    FuzzBench bench(data[0]);
    for_each_record({data + 1, size - 1}, [&](int kind, std::span<const std::uint8_t> read) {
        bench.window.hold_drawing = kind == 3;
        bench.receive(read);
        if (kind == 2) bench.panes.draw_and_check();
        bench.check();
    });
    bench.panes.draw_and_check();
    return 0;
}
