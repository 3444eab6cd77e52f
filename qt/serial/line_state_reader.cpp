#include "qt/serial/line_state_reader.h"

#ifdef __linux__
#include <linux/serial.h>
#include <sys/ioctl.h>
#endif

namespace mirvane::qt {

namespace {

class DriverLineStateReader final : public LineStateReader {
public:
    std::optional<LineCounters> counters(int descriptor) override {
#ifdef __linux__
        serial_icounter_struct driver{};
        if (descriptor < 0 || ::ioctl(descriptor, TIOCGICOUNT, &driver) != 0) return std::nullopt;
        // The driver keeps them as int and lets them run over; read as unsigned they wrap
        // at 2^32, which is what the event mapping expects.
        const auto u = [](int count) { return static_cast<std::uint32_t>(count); };
        LineCounters reading;
        reading.cts = u(driver.cts);
        reading.dsr = u(driver.dsr);
        reading.rng = u(driver.rng);
        reading.dcd = u(driver.dcd);
        reading.rx = u(driver.rx);
        reading.tx = u(driver.tx);
        reading.frame = u(driver.frame);
        reading.overrun = u(driver.overrun);
        reading.parity = u(driver.parity);
        reading.brk = u(driver.brk);
        reading.buf_overrun = u(driver.buf_overrun);
        return reading;
#else
        (void)descriptor;
        return std::nullopt;
#endif
    }

    std::optional<ModemLines> modem_lines(int descriptor) override {
#ifdef __linux__
        int bits = 0;
        if (descriptor < 0 || ::ioctl(descriptor, TIOCMGET, &bits) != 0) return std::nullopt;
        return ModemLines{(bits & TIOCM_CTS) != 0, (bits & TIOCM_DSR) != 0, (bits & TIOCM_CD) != 0,
                          (bits & TIOCM_RI) != 0};
#else
        (void)descriptor;
        return std::nullopt;
#endif
    }
};

}  // namespace

std::unique_ptr<LineStateReader> driver_line_state_reader() { return std::make_unique<DriverLineStateReader>(); }

}  // namespace mirvane::qt
