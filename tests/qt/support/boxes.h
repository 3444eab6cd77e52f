#pragma once
// Confirms every modal message box as soon as it is up, the way an operator presses OK, and
// remembers what each one said and whether each was critical, modal and with one button, as
// every box of the program is. A test may hold a box open for a while, and can see whether
// two boxes were ever up at once.

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <functional>

namespace mirvane::qt::testing {

struct BoxConfirmer {
    BoxConfirmer() {
        QObject::connect(&timer_, &QTimer::timeout, [this] { look(); });
        timer_.start(5);
    }

    QStringList seen;  // what each box said
    bool all_critical_modal_with_one_button = true;
    int most_up_at_once = 0;  // the most message boxes ever up at the same moment
    // Asked while a box is up; it is confirmed once this says so. Unset: at once.
    std::function<bool()> may_confirm;

    void look() {
        const auto up = [](const QWidget* top) { return top->isVisible() && qobject_cast<const QMessageBox*>(top); };
        most_up_at_once = std::max(most_up_at_once, int(std::ranges::count_if(QApplication::topLevelWidgets(), up)));
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible()) return;
        if (box != std::exchange(current_, box)) seen << box->text();
        all_critical_modal_with_one_button &=
            box->icon() == QMessageBox::Critical && box->isModal() && box->buttons().size() == 1;
        if (!may_confirm || may_confirm()) box->button(QMessageBox::Ok)->click();
    }

    QTimer timer_;
    // The box last seen; it clears itself when the box goes, so that a new box at the same
    // address counts as new.
    QPointer<QMessageBox> current_;
};

}  // namespace mirvane::qt::testing
