#pragma once
// What the port asks of the terminal driver past QSerialPort, on the open line's handle.

#include <QtGlobal>
#include <optional>

namespace mirvane::qt {

// Bytes received in error are to reach the decoder replaced, not as received (INPCK off)
// nor dropped (IGNPAR), which is what QSerialPort's settings ask the driver for. Marked by
// the driver instead, they are replaced as the input is read. Nothing where the driver
// cannot mark them; else how many bytes were already waiting to be read when the marking
// went on: the driver took those in unmarked, and they must be read as they are.
std::optional<long long> mark_bytes_in_error(qintptr handle);

// Bytes the driver holds for sending after QSerialPort has handed them over.
int driver_output_queue(qintptr handle);

// Bytes the driver has received that nobody has read yet.
int driver_input_queue(qintptr handle);

}  // namespace mirvane::qt
