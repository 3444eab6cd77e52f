#include "qt/window/port_list.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QSettings>
#include <algorithm>

namespace mirvane::qt {

namespace {

const QString kOrganisation = QStringLiteral("Mirvane");
const QString kApplication = QStringLiteral("Mirvane");
const QString kTerminalKey = QStringLiteral("ports/terminal");
const QString kMonitorKey = QStringLiteral("ports/monitor");

// Links and device names are compared by what they name in the end.
QString resolved(const QString& path) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}

QString facts_text(const PortFacts& facts) {
    QStringList fields;
    const auto add = [&](const char* label, const QString& value) {
        if (!value.isEmpty()) fields << QString::fromLatin1(label) + u' ' + value;
    };
    add("description:", facts.description);
    add("manufacturer:", facts.manufacturer);
    add("serial number:", facts.serial_number);
    return fields.join(QStringLiteral(", "));
}

QString label(const QString& device, const QString& leads_to, const PortFacts* facts) {
    QString text = device;
    if (!leads_to.isEmpty()) text += QStringLiteral(" → ") + leads_to;
    const QString known = facts ? facts_text(*facts) : QString();
    if (!known.isEmpty()) text += QStringLiteral("  (") + known + u')';
    return text;
}

}  // namespace

QList<PortFacts> system_ports() {
    QList<PortFacts> ports;
    for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts()) {
        ports.append({port.systemLocation(), port.description(), port.manufacturer(), port.serialNumber()});
    }
    return ports;
}

QList<PortEntry> order_ports(const QList<PortFacts>& ports, const QString& by_id) {
    QList<PortEntry> entries;
    QList<bool> linked(ports.size(), false);
    const QDir folder(by_id);
    for (const QString& name : folder.entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString link = folder.filePath(name);
        const QString target = QFileInfo(link).canonicalFilePath();
        if (target.isEmpty()) continue;  // a link left behind by an adapter that has gone
        const auto port = std::find_if(ports.begin(), ports.end(),
                                       [&](const PortFacts& facts) { return resolved(facts.location) == target; });
        const PortFacts* facts = port == ports.end() ? nullptr : &*port;
        if (facts) linked[port - ports.begin()] = true;
        entries.append({link, label(link, facts ? facts->location : target, facts)});
    }
    QList<PortEntry> rest;
    for (qsizetype i = 0; i < ports.size(); ++i) {
        if (!linked[i]) rest.append({ports[i].location, label(ports[i].location, {}, &ports[i])});
    }
    std::sort(rest.begin(), rest.end(), [](const PortEntry& a, const PortEntry& b) { return a.device < b.device; });
    return entries + rest;
}

PortPick remembered_pick() {
    const QSettings settings(kOrganisation, kApplication);
    return {settings.value(kTerminalKey).toString(), settings.value(kMonitorKey).toString()};
}

void remember_pick(const PortPick& pick) {
    QSettings settings(kOrganisation, kApplication);
    if (!pick.terminal.isEmpty()) settings.setValue(kTerminalKey, pick.terminal);
    if (!pick.monitor.isEmpty()) settings.setValue(kMonitorKey, pick.monitor);
}

qsizetype index_of(const QList<PortEntry>& entries, const QString& device) {
    const auto found =
        std::find_if(entries.begin(), entries.end(), [&](const PortEntry& entry) { return entry.device == device; });
    return found == entries.end() ? -1 : found - entries.begin();
}

}  // namespace mirvane::qt
