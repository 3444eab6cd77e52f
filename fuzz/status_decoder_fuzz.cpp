// Random terminal traffic, in reads of random length, through the terminal port's event
// into R_Analize.

#include "fuzz_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace mirvane::fuzzing;
    if (size == 0) return 0;
    FuzzBench bench;
    bench.size_rings(data[0]);
    for (const Record& read : records_of({data + 1, size - 1})) {
        bench.receive(read.payload);
        bench.check();
    }
    return 0;
}
