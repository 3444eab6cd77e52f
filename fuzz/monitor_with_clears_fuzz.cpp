// Terminal reads, monitor reads and clears in random order: the two writers of the one
// message log racing for its current slot, and the clear cutting in anywhere.

#include "fuzz_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace mirvane::fuzzing;
    if (size == 0) return 0;
    FuzzBench bench;
    bench.size_rings(data[0]);
    for (const Record& record : records_of({data + 1, size - 1})) {
        switch (record.kind) {
            case 0: bench.receive(record.payload); break;
            case 1:
            case 3: bench.tap(record.payload); break;
            case 2: bench.clear(); break;
        }
        bench.check();
    }
    return 0;
}
