#pragma once
// What a settings text such as "600,E,8,1" means to QSerialPort, and which device a port
// number names on this machine.

#include <QSerialPort>
#include <QString>
#include <cstdint>
#include <optional>
#include <string_view>

namespace mirvane::qt {

struct LineOptions {
    qint32 baud_rate = 600;
    QSerialPort::Parity parity = QSerialPort::EvenParity;
    QSerialPort::DataBits data_bits = QSerialPort::Data8;
    QSerialPort::StopBits stop_bits = QSerialPort::OneStop;
};

// "baud,parity,data bits,stop bits" with parity one of N, E, O, M, S (either case) and stop
// bits 1, 1.5 or 2. Anything else gives no value.
std::optional<LineOptions> parse_line_settings(std::u16string_view settings);

// The device of port `number`: MIRVANE_PORT1 / MIRVANE_PORT2 when set and not empty,
// else the machine's n-th serial port (default_device).
QString device_for_port(std::int16_t number);

// The machine's n-th serial port: /dev/ttyS0, /dev/ttyS1; COM1, COM2 on Windows.
QString default_device(std::int16_t number);

}  // namespace mirvane::qt
