// What the Qt window costs: the wait of a send on a line that drains at 600 baud, driven
// through the real Form1::yield, and a paint of the panes after one byte and after one
// entry. Figures only: nothing here passes or fails on a slow machine. Runs on the
// offscreen platform, so painting goes into memory and nothing reaches a display.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QTimer>
#include <chrono>
#include <ctime>
#include <deque>
#include <memory>

#include "decode/status_decoder.h"
#include "link/send.h"
#include "qt/window/form1.h"
#include "shell/startup.h"
#include "status_mix.h"
#include "support/fake_serial_port.h"

namespace mirvane::bench {
namespace {

using Clock = std::chrono::steady_clock;

// 600 baud, 11 bits a byte.
constexpr auto kByteTime = std::chrono::microseconds(18333);

// A terminal line that takes a byte off its queue every byte time, as a UART at 600 baud
// empties its transmit buffer. What left is kept in order to be checked.
class LineAt600Baud final : public testing::FakeSerialPort {
public:
    LineAt600Baud() : FakeSerialPort(u"/dev/ttyS0") {}
    bool is_open() const override { return true; }
    void output(std::span<const std::uint8_t> bytes) override {
        const auto now = Clock::now();
        for (const std::uint8_t byte : bytes) {
            const auto start = queue_.empty() ? now : std::max(now, queue_.back().leaves);
            queue_.push_back({byte, start + kByteTime});
        }
    }
    int out_buffer_count() const override {
        const auto now = Clock::now();
        while (!queue_.empty() && queue_.front().leaves <= now) {
            sent.push_back(queue_.front().byte);
            queue_.pop_front();
        }
        return static_cast<int>(queue_.size());
    }

    mutable std::vector<std::uint8_t> sent;

private:
    struct Queued {
        std::uint8_t byte;
        Clock::time_point leaves;
    };
    mutable std::deque<Queued> queue_;
};

double process_cpu_seconds() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// One byte sent per iteration, the send waiting in Form1::yield until the line has taken
// it. A timer stands for the port events and clicks that must keep running meanwhile.
void BM_SendWaitAt600Baud(benchmark::State& run) {
    SharedState state;
    qt::Form1 form;
    LineAt600Baud terminal;
    testing::FakeSerialPort monitor{u"/dev/ttyS1"};
    Program program{state, form, terminal, monitor};
    form.attach(program);
    Main(program);

    long handler_runs = 0;
    QTimer handler;
    QObject::connect(&handler, &QTimer::timeout, [&] { ++handler_runs; });
    handler.start(5);

    const std::u16string label = u"Dial [1]";
    std::uint8_t code = 0;
    std::vector<std::uint8_t> written;
    const double cpu_before = process_cpu_seconds();
    for (auto _ : run) {
        written.push_back(code);
        MSComm_send(program, label, code);
        ++code;
    }
    const double cpu = process_cpu_seconds() - cpu_before;
    if (terminal.sent != written) run.SkipWithError("bytes left out of order or not at all");
    const double bytes = static_cast<double>(run.iterations());
    run.counters["process_cpu_ms_per_byte"] = 1000.0 * cpu / bytes;
    run.counters["handler_runs_per_byte"] = static_cast<double>(handler_runs) / bytes;
}
BENCHMARK(BM_SendWaitAt600Baud)->Unit(benchmark::kMillisecond)->Iterations(100)->UseRealTime();

// Counts the paint events of a pane and knows whether the pane has changed since its last.
class PaneWatch final : public QObject {
public:
    explicit PaneWatch(QPlainTextEdit* pane) {
        pane->viewport()->installEventFilter(this);
        connect(pane, &QPlainTextEdit::textChanged, this, [this] { changed = true; });
    }
    long paints = 0;
    bool changed = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
            changed = false;
        }
        return false;
    }
};

// The window after Main with full stores, shown, painting its text boxes at every turn
// after a set, so that one iteration is one paint.
struct ShownWindow {
    SharedState state;
    qt::Form1 form;
    testing::FakeSerialPort terminal{u"/dev/ttyS0"};
    testing::FakeSerialPort monitor{u"/dev/ttyS1"};
    Program program{state, form, terminal, monitor};
    PaneWatch ring{form.findChild<QPlainTextEdit*>(QStringLiteral("Text1"))};
    PaneWatch log{form.findChild<QPlainTextEdit*>(QStringLiteral("Text2"))};

    ShownWindow() {
        form.attach(program);
        Main(program);
        form.set_paint_frame(0);
        form.show();
        decode_status_bytes(program, status_mix(4000), u"10:15:00");
        settle();
    }
    // Runs the event loop until the text boxes are brought up to date and every pane that
    // changed has been painted (the platform gathers paints for a few milliseconds).
    void settle() {
        QCoreApplication::processEvents();
        const auto give_up = Clock::now() + std::chrono::seconds(1);
        while ((ring.changed || log.changed) && Clock::now() < give_up) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
    }
};

// CPU time of the whole paint: edit, layout, drawing; the wait for the platform's moment
// to paint is idle time and not counted. `bytes(i)` gives what arrives before paint i;
// it must change what the panes show, or there is nothing to paint.
template <typename Bytes>
void paint_after(benchmark::State& run, Bytes bytes) {
    ShownWindow window;
    const long ring_before = window.ring.paints;
    const long log_before = window.log.paints;
    int i = 0;
    for (auto _ : run) {
        decode_status_bytes(window.program, bytes(i++), u"10:15:01");
        window.settle();
    }
    const double iterations = static_cast<double>(run.iterations());
    run.counters["receive_pane_paints"] = static_cast<double>(window.ring.paints - ring_before) / iterations;
    run.counters["log_pane_paints"] = static_cast<double>(window.log.paints - log_before) / iterations;
}

// A byte without meaning (0x00 to 0x0F have none): the receive pane alone changes.
void BM_PaintAfterOneByte(benchmark::State& run) {
    paint_after(run, [](int i) { return std::vector<std::uint8_t>{std::uint8_t(i % 16)}; });
}
BENCHMARK(BM_PaintAfterOneByte)->Unit(benchmark::kMicrosecond)->Iterations(300);

// A reception level that changed: both panes change.
void BM_PaintAfterOneEntry(benchmark::State& run) {
    paint_after(run, [](int i) { return std::vector<std::uint8_t>{std::uint8_t(0xC0 + i % 16)}; });
}
BENCHMARK(BM_PaintAfterOneEntry)->Unit(benchmark::kMicrosecond)->Iterations(300);

// Forty bytes of the status mix between two paints, as when a burst comes in; the level
// in it moves on each time.
void BM_PaintAfterFortyBytes(benchmark::State& run) {
    paint_after(run, [](int i) {
        std::vector<std::uint8_t> mix = status_mix(40);
        mix[2] = std::uint8_t(0xC0 + i % 16);
        return mix;
    });
}
BENCHMARK(BM_PaintAfterFortyBytes)->Unit(benchmark::kMicrosecond)->Iterations(300);

}  // namespace
}  // namespace mirvane::bench

int main(int argc, char** argv) {
    // As the program runs: on Qt's own event dispatcher.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB")) qputenv("QT_NO_GLIB", "1");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
