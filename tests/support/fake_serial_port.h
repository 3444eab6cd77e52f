#pragma once
// A serial port for tests: received bytes and events are queued by the test, written bytes
// wait in an output queue until the test (or a yield) drains them onto the line. Touching
// the port while it is closed is counted, so tests can assert it never happens.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "program/serial_port.h"

namespace mirvane::testing {

class FakeSerialPort : public SerialPort {
public:
    explicit FakeSerialPort(std::u16string device) : device_(std::move(device)) {}

    // A pseudo-terminal, like this port, has no line settings to keep.
    void set_comm_port(std::int16_t) override {}
    void set_settings(std::u16string_view) override {}
    void set_rthreshold(std::int16_t) override {}
    void set_sthreshold(std::int16_t) override {}
    void set_input_mode(std::int16_t) override {}
    std::u16string device_name() const override { return device_; }

    std::optional<OpenFailure> open() override {
        ++opens;
        if (!open_failure) misuses += open_, open_ = true;
        return open_failure;
    }
    // What had not left yet is lost with the port.
    void close() override { misuses += !open_, open_ = false, pending.clear(); }
    bool is_open() const override { return open_; }

    void output(std::span<const std::uint8_t> bytes) override {
        misuses += !open_, pending.insert(pending.end(), bytes.begin(), bytes.end());
    }
    int out_buffer_count() const override {
        misuses += !open_;
        return static_cast<int>(pending.size());
    }
    std::vector<std::uint8_t> input() override { return std::exchange(received, {}); }
    std::int16_t comm_event() const override { return event; }

    // Puts every queued byte on the line, as if the line were fast.
    void drain() { line.insert(line.end(), pending.begin(), pending.end()), pending.clear(); }

    std::optional<OpenFailure> open_failure;
    std::vector<std::uint8_t> pending, line, received;
    std::int16_t event = comm_event::kReceive;
    int opens = 0;
    mutable int misuses = 0;

private:
    std::u16string device_;
    bool open_ = false;
};

}  // namespace mirvane::testing
