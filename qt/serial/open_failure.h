#pragma once
// Why a device could not be opened, in the operator's language. QSerialPort reports a
// missing device, one without permission, one locked or held by another program and one
// whose lock file cannot be made all as a "permission" error; the device and its lock file
// tell them apart.

#include <QSerialPort>
#include <QString>
#include <string>

#include "program/serial_port.h"

namespace mirvane::qt {

// The reason for the message box, with its English, from what QSerialPort said after a
// failed open().
OpenFailure open_failure_reason(const QString& device, QSerialPort::SerialPortError error, const QString& system_text);

// The lock file QSerialPort takes for `device`: in the first of its lock folders that can
// be read and holds the file already or can be written; empty when none can.
QString lock_file_for(const QString& device);

}  // namespace mirvane::qt
