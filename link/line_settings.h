#pragma once
// The line settings both ports are given while the window loads, never changed afterwards.

#include <cstdint>
#include <string_view>

#include "program/serial_port.h"

namespace mirvane {

inline constexpr std::u16string_view kLineSettings = u"600,E,8,1";
inline constexpr std::int16_t kTerminalPortNumber = 1;
inline constexpr std::int16_t kMonitorPortNumber = 2;
inline constexpr std::int16_t kReceiveThreshold = 1;  // an event as soon as one byte waits
inline constexpr std::int16_t kSendThreshold = 0;     // no events for the sending side
inline constexpr std::int16_t kInputModeBinary = 1;   // input as raw bytes

// Binds the port to its number and applies the line settings; the port stays closed.
void configure_port(SerialPort& port, std::int16_t number);

}  // namespace mirvane
