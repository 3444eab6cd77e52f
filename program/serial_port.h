#pragma once
// The serial-port operations the logic relies on, one instance per line. The QSerialPort
// binding implements it for real devices; tests use a fake that queues bytes and events.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mirvane {

// Event numbers reported by comm_event().
namespace comm_event {
inline constexpr std::int16_t kSend = 1;
inline constexpr std::int16_t kReceive = 2;
inline constexpr std::int16_t kCts = 3;
inline constexpr std::int16_t kDsr = 4;
inline constexpr std::int16_t kCd = 5;
inline constexpr std::int16_t kRing = 6;
inline constexpr std::int16_t kEof = 7;
inline constexpr std::int16_t kBreak = 1001;
inline constexpr std::int16_t kFrame = 1004;
inline constexpr std::int16_t kOverrun = 1006;
inline constexpr std::int16_t kRxOverflow = 1008;
inline constexpr std::int16_t kParity = 1009;
}  // namespace comm_event

// Why a port could not be opened, in the operator's language, ready for the message box.
struct OpenFailure {
    std::u16string reason;
    std::u16string gloss;  // the reason in English, for standard error
};

class SerialPort {
public:
    virtual ~SerialPort() = default;

    // Configuration; applied while the port is closed and honoured at the next open.
    virtual void set_comm_port(std::int16_t number) = 0;
    virtual void set_settings(std::u16string_view settings) = 0;
    virtual void set_rthreshold(std::int16_t bytes) = 0;
    virtual void set_sthreshold(std::int16_t bytes) = 0;
    virtual void set_input_mode(std::int16_t mode) = 0;

    // The device the port is bound to (for example /dev/ttyS0), for messages.
    virtual std::u16string device_name() const = 0;

    virtual std::optional<OpenFailure> open() = 0;
    virtual void close() = 0;
    virtual bool is_open() const = 0;

    // Queues the bytes for sending, unchanged and in order.
    virtual void output(std::span<const std::uint8_t> bytes) = 0;
    // Bytes handed over but not yet on the line.
    virtual int out_buffer_count() const = 0;
    // Every waiting byte in arrival order; the receive buffer is empty afterwards.
    virtual std::vector<std::uint8_t> input() = 0;
    // The number of the event being delivered.
    virtual std::int16_t comm_event() const = 0;
};

}  // namespace mirvane
