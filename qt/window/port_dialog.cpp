#include "qt/window/port_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>

namespace mirvane::qt {

namespace {

QComboBox* port_box(const QList<PortEntry>& entries) {
    auto* box = new QComboBox;
    box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    for (const PortEntry& entry : entries) box->addItem(entry.label, entry.device);
    return box;
}

// One device under two names (a stable link and what it leads to) is still one device.
QString device_itself(const QString& device) {
    const QString canonical = QFileInfo(device).canonicalFilePath();
    return canonical.isEmpty() ? device : canonical;
}

}  // namespace

PortDialog::PortDialog(const QList<PortEntry>& entries, const PortPick& given, const PortPick& remembered,
                       QWidget* parent)
    : QDialog(parent), given_(given) {
    setWindowTitle(QStringLiteral("Mirvane: ports"));
    auto* form = new QFormLayout(this);
    form->addRow(new QLabel(entries.isEmpty() ? QStringLiteral("No serial ports are found.")
                                              : QStringLiteral("The handset's lines, stable names first:")));
    if (given.terminal.isEmpty()) {
        terminal_ = port_box(entries);
        terminal_->setCurrentIndex(std::max<qsizetype>(index_of(entries, remembered.terminal), 0));
        form->addRow(QStringLiteral("Terminal line:"), terminal_);
    }
    if (given.monitor.isEmpty()) {
        monitor_ = port_box(entries);
        monitor_->insertItem(0, QStringLiteral("none: one adapter, the terminal line alone"), kNoDevice);
        // Nothing remembered: the first port the terminal line does not take, as on a bench
        // with two adapters.
        qsizetype index = remembered.monitor == kNoDevice ? 0 : index_of(entries, remembered.monitor) + 1;
        const QString terminal = terminal_ ? terminal_->currentData().toString() : given.terminal;
        for (qsizetype i = 0; remembered.monitor.isEmpty() && index == 0 && i < entries.size(); ++i) {
            if (device_itself(entries[i].device) != device_itself(terminal)) index = i + 1;
        }
        monitor_->setCurrentIndex(index);
        form->addRow(QStringLiteral("Monitor line:"), monitor_);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    for (QComboBox* box : {terminal_, monitor_}) {
        if (box) connect(box, &QComboBox::currentIndexChanged, this, &PortDialog::check_pick);
    }
    check_pick();
}

PortPick PortDialog::pick() const {
    const auto device = [](const QComboBox* box) { return box ? box->currentData().toString() : QString(); };
    return {device(terminal_), device(monitor_)};
}

// A terminal line is needed, and one device cannot be both lines.
void PortDialog::check_pick() {
    const PortPick picked = pick();
    const QString terminal = terminal_ ? picked.terminal : given_.terminal;
    const QString monitor = monitor_ ? picked.monitor : given_.monitor;
    ok_->setEnabled(!terminal.isEmpty() && (monitor == kNoDevice || device_itself(terminal) != device_itself(monitor)));
}

std::optional<PortPick> choose_ports(const PortPick& given) {
    PortDialog dialog(order_ports(system_ports(), kSerialById), given, remembered_pick());
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const PortPick picked = dialog.pick();
    remember_pick(picked);
    return picked;
}

bool pick_session_ports(Session& session) {
    if (session.terminal_named && session.monitor_named) return true;
    const PortPick given{session.terminal_named ? session.terminal_device : QString(),
                         session.monitor_named ? session.monitor_device : QString()};
    const std::optional<PortPick> picked = choose_ports(given);
    if (!picked) return false;
    if (!picked->terminal.isEmpty()) session.terminal_device = picked->terminal;
    if (!picked->monitor.isEmpty()) session.monitor_device = picked->monitor;
    return true;
}

}  // namespace mirvane::qt
