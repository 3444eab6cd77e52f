#pragma once
// The whole program on Qt as main() starts it, its two lines on pseudo-terminals whose far
// sides the test drives as the terminal and the monitor tap would: it writes to either line,
// holds the terminal line's output as flow control would, and can start a fresh program on
// the same lines after an exit.

#include <termios.h>
#include <QPushButton>
#include <QRegularExpression>
#include <memory>

#include "qt/window/qt_program.h"
#include "shell/startup.h"
#include "support/boxes.h"
#include "support/far_side.h"

namespace mirvane::qt::testing {

struct ProgramRig {
    ProgramRig() { start_program(); }
    // A fresh program, with the options given as main() would read them.
    void start_program(const QStringList& options = {}) {
        mirvane.reset();
        auto session = prepare_session(QStringList{"mirvane"} + options, Environment::current());
        QVERIFY(!open_session_files(std::get<Session>(session), "mirvane"));
        mirvane = std::make_unique<QtProgram>(std::move(std::get<Session>(session)));
        Main(mirvane->program);
    }
    Form1& form() const { return mirvane->window; }
    template <typename Widget = QWidget>
    Widget* widget(Control control) const {
        return static_cast<Widget*>(form().control_widget(control));
    }
    void click(Control control) const { QTest::mouseClick(form().control_widget(control), Qt::LeftButton); }
    void key(int index) const { QTest::mouseClick(form().keypad_button(index), Qt::LeftButton); }
    void hold(bool held) const { QCOMPARE(::tcflow(terminal.device_end, held ? TCOOFF : TCOON), 0); }
    // The log, newest first, without its time stamps.
    QStringList log() const {
        const QString pane = QString::fromStdU16String(form().text(Control::Text2));
        return pane.split("\r\n", Qt::SkipEmptyParts).replaceInStrings(QRegularExpression(R"(\[[\d:]{8}\] )"), {});
    }

    FarSide terminal{1}, monitor{2};
    BoxConfirmer boxes;
    std::unique_ptr<QtProgram> mirvane;
};

}  // namespace mirvane::qt::testing
