// What the core costs per received byte and per committed entry, and over the bursts the
// end-to-end measurements use. Figures only: nothing here passes or fails.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <span>

#include "decode/status_decoder.h"
#include "logs/message_log.h"
#include "logs/receive_ring.h"
#include "monitor/monitor_decoder.h"
#include "status_mix.h"
#include "support/core_rig.h"
#include "vocabulary/hex_text.h"

namespace mirvane::bench {
namespace {

// The core tests' rig with drawing held back: the window only notes which pane changed, as
// a binding that draws later would, so what is timed is the core's own work.
struct Rig : testing::CoreRig {
    Rig() { window.hold_drawing = true; }
};

// Fills both stores with the mix so every render works on full rings, as on a line in use.
void fill_stores(Rig& bench) {
    const auto mix = status_mix(4000);
    decode_status_bytes(bench.program, mix, u"10:15:00");
}

// The 20,000-byte burst, decoded as it arrives: one read of the whole burst per iteration.
void BM_StatusBurst20k(benchmark::State& run) {
    Rig bench;
    fill_stores(bench);
    const auto burst = status_mix(20000);
    for (auto _ : run) {
        decode_status_bytes(bench.program, burst, u"10:15:01");
        benchmark::DoNotOptimize(bench.window.pane_text(Control::Text2).data());
    }
    run.SetBytesProcessed(static_cast<std::int64_t>(run.iterations() * burst.size()));
}
BENCHMARK(BM_StatusBurst20k)->Unit(benchmark::kMillisecond);

// A megabyte, taken in reads of the port's 1,024-byte input buffer.
void BM_StatusBurst1MB(benchmark::State& run) {
    Rig bench;
    fill_stores(bench);
    const auto burst = status_mix(1 << 20);
    constexpr std::size_t kRead = 1024;
    for (auto _ : run) {
        const std::span<const std::uint8_t> all(burst);
        for (std::size_t at = 0; at < all.size(); at += kRead) {
            decode_status_bytes(bench.program, all.subspan(at, std::min(kRead, all.size() - at)), u"10:15:01");
        }
        benchmark::DoNotOptimize(bench.window.pane_text(Control::Text1).data());
    }
    run.SetBytesProcessed(static_cast<std::int64_t>(run.iterations() * burst.size()));
}
BENCHMARK(BM_StatusBurst1MB)->Unit(benchmark::kMillisecond);

// One received byte: into the full ring, then the receive pane redrawn.
void BM_DispRxData(benchmark::State& run) {
    Rig bench;
    fill_stores(bench);
    std::uint8_t byte = 0;
    for (auto _ : run) {
        store_received_byte(bench.state, byte++);
        disp_RxData(bench.program);
        benchmark::DoNotOptimize(bench.window.pane_text(Control::Text1).data());
    }
    run.SetItemsProcessed(run.iterations());
}
BENCHMARK(BM_DispRxData);

// One committed entry: both columns written at log_pos, then the full log pane redrawn.
void BM_DispCommand(benchmark::State& run) {
    Rig bench;
    fill_stores(bench);
    const std::u16string codes[] = {u"80 __ __ __ __", u"AD 31 32 33 34", u"__ __ __ __ A6"};
    const std::u16string texts[] = {u"[10:15:01] 圏外表示OFF", u"[10:15:01] 網情報 1234", u"[10:15:01] 受話器をおく"};
    std::size_t which = 0;
    for (auto _ : run) {
        SharedState& state = bench.state;
        state.log_code[state.log_pos] = codes[which];
        state.log_text[state.log_pos] = texts[which];
        which = (which + 1) % std::size(codes);
        disp_Command(bench.program);
        benchmark::DoNotOptimize(bench.window.pane_text(Control::Text2).data());
    }
    run.SetItemsProcessed(run.iterations());
}
BENCHMARK(BM_DispCommand);

// One monitor byte, committed while a status message is half collected: the open message
// steps aside into the next slot each time.
void BM_MonitorEntryBesideOpenMessage(benchmark::State& run) {
    Rig bench;
    fill_stores(bench);
    const std::uint8_t opener[] = {0xAD, 0x31};
    decode_status_bytes(bench.program, opener, u"10:15:01");
    const std::uint8_t tap[] = {0xA6};
    for (auto _ : run) {
        log_monitor_bytes(bench.program, tap, u"10:15:02");
        benchmark::DoNotOptimize(bench.window.pane_text(Control::Text2).data());
    }
    run.SetItemsProcessed(run.iterations());
}
BENCHMARK(BM_MonitorEntryBesideOpenMessage);

}  // namespace
}  // namespace mirvane::bench

BENCHMARK_MAIN();
