#pragma once
// Confirms every modal message box as soon as it is up, the way an operator presses OK,
// and remembers what each one showed.

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QObject>
#include <QTimer>
#include <vector>

namespace mirvane::qt::testing {

struct SeenBox {
    QString text;
    QString title;
    QMessageBox::Icon icon;
    QList<QAbstractButton*>::size_type buttons;
    bool modal;
};

class BoxConfirmer {
public:
    BoxConfirmer() {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr || !box->isVisible()) return;
            seen.push_back({box->text(), box->windowTitle(), box->icon(), box->buttons().size(),
                            box->isModal()});
            box->button(QMessageBox::Ok)->click();
        });
        timer_.start();
    }

    std::vector<SeenBox> seen;

private:
    QTimer timer_;
};

}  // namespace mirvane::qt::testing
