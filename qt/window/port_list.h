#pragma once
// The serial ports a person can pick from, and the pick remembered for the next run. Kept
// apart from the dialog's widgets so that the order, the labels and the remembering can be
// checked on a made-up folder of links and made-up ports.

#include <QList>
#include <QString>

namespace mirvane::qt {

// What the system knows of one port; empty where it knows nothing.
struct PortFacts {
    QString location;  // the device, as /dev/ttyUSB0
    QString description;
    QString manufacturer;
    QString serial_number;
};

// One row of the list: the device to open, and what the person reads.
struct PortEntry {
    QString device;
    QString label;
};

// The ports known to the system now.
QList<PortFacts> system_ports();

// The folder of links named after the adapters rather than the order they were plugged in.
inline const QString kSerialById = QStringLiteral("/dev/serial/by-id");

// The ports by their stable names in `by_id` first (in name order, each labelled with the
// device it leads to), then the ports no link leads to, in device order. Each label carries
// what the system knows of the port.
QList<PortEntry> order_ports(const QList<PortFacts>& ports, const QString& by_id);

// The devices picked last time; empty where nothing is remembered. The monitor line's may be
// "none".
struct PortPick {
    QString terminal;
    QString monitor;
};

// Kept in the user's settings of Mirvane (~/.config/Mirvane/Mirvane.conf). An empty device
// leaves what is remembered for that line as it was.
PortPick remembered_pick();
void remember_pick(const PortPick& pick);

// Where a device stands in `entries`, or -1.
qsizetype index_of(const QList<PortEntry>& entries, const QString& device);

}  // namespace mirvane::qt
