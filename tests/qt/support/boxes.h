#pragma once
// Confirms every modal message box as soon as it is up, the way an operator presses OK, and
// remembers what each one showed. A test may hold a box open for a while, and can see
// whether two boxes were ever up at once.

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <vector>

namespace mirvane::qt::testing {

struct SeenBox { QString text, title; QMessageBox::Icon icon; qsizetype buttons; bool modal; };

class BoxConfirmer {
public:
    BoxConfirmer() { QObject::connect(&timer_, &QTimer::timeout, [this] { look(); }); timer_.start(5); }

    std::vector<SeenBox> seen;
    int most_up_at_once = 0;  // the most message boxes ever up at the same moment
    // Asked while a box is up; it is confirmed once this says so. Unset: at once.
    std::function<bool()> may_confirm;

private:
    void look() {
        const auto up = [](const QWidget* top) { return top->isVisible() && qobject_cast<const QMessageBox*>(top); };
        most_up_at_once = std::max(most_up_at_once, int(std::ranges::count_if(QApplication::topLevelWidgets(), up)));
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible()) return;
        if (box != std::exchange(current_, box))
            seen.push_back({box->text(), box->windowTitle(), box->icon(), box->buttons().size(), box->isModal()});
        if (!may_confirm || may_confirm()) box->button(QMessageBox::Ok)->click();
    }

    QTimer timer_;
    // The box last seen; it clears itself when the box goes, so that a new box at the same
    // address counts as new.
    QPointer<QMessageBox> current_;
};

}  // namespace mirvane::qt::testing
