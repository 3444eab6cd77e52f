#pragma once
// Before the window: which device is the terminal line and which the monitor line (or none),
// for a start from a menu, where nobody types options. A line named by an option or a
// variable is not asked for.

#include <QDialog>
#include <optional>

#include "qt/session/session.h"
#include "qt/window/port_list.h"

class QComboBox;
class QPushButton;

namespace mirvane::qt {

class PortDialog : public QDialog {
public:
    // `given` holds the device of a line that is not asked for (empty: asked for); `remembered`
    // is preselected where it is in `entries`.
    PortDialog(const QList<PortEntry>& entries, const PortPick& given, const PortPick& remembered,
               QWidget* parent = nullptr);

    // The devices picked for the lines asked for; empty for the others.
    PortPick pick() const;

    QComboBox* terminal_box() const { return terminal_; }
    QComboBox* monitor_box() const { return monitor_; }
    QPushButton* ok_button() const { return ok_; }

private:
    void check_pick();

    PortPick given_;
    QComboBox* terminal_ = nullptr;
    QComboBox* monitor_ = nullptr;
    QPushButton* ok_ = nullptr;
};

// Asks for the lines that `given` leaves empty, from the machine's ports, and remembers the
// pick; nothing when the person cancels.
std::optional<PortPick> choose_ports(const PortPick& given);

// The session's lines as the person picks them: false when the person cancels. With both
// lines named nothing is asked.
bool pick_session_ports(Session& session);

}  // namespace mirvane::qt
