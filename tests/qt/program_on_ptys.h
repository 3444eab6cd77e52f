#pragma once
// The real program on two pseudo-terminals whose far sides the test holds: it can write
// to either line, hold the terminal line's output as flow control would, and start a
// fresh program on the same lines after an exit.

#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "shell/qt/qt_program.h"
#include "shell/startup.h"
#include "support/boxes.h"
#include "support/far_side.h"

namespace mirvane::qt::testing {

using Bytes = std::vector<std::uint8_t>;

struct ProgramOnPtys {
    ProgramOnPtys() {
        qputenv("MIRVANE_PORT1", terminal.path().toLocal8Bit());
        qputenv("MIRVANE_PORT2", monitor.path().toLocal8Bit());
        start_program();
    }
    void start_program() {
        mirvane.reset();
        mirvane = std::make_unique<QtProgram>();
        Main(mirvane->program);
    }

    QTemporaryDir dir;
    FarSide terminal{dir.filePath("terminal"), true};
    FarSide monitor{dir.filePath("monitor"), true};
    BoxConfirmer boxes;
    std::unique_ptr<QtProgram> mirvane;

    Form1& form() { return mirvane->window; }
    void click(const char* name) {
        QTest::mouseClick(form().findChild<QPushButton*>(QLatin1String(name)), Qt::LeftButton);
    }
    void key(int index) { QTest::mouseClick(form().keypad_button(index), Qt::LeftButton); }
    void type(const char* name, const QString& text) {
        auto* field = form().findChild<QLineEdit*>(QLatin1String(name));
        field->clear();
        QTest::keyClicks(field, text);
    }
    // The terminal stops taking the program's bytes, or takes them again.
    void hold(bool held) { QCOMPARE(::tcflow(terminal.device_end(), held ? TCOOFF : TCOON), 0); }
    bool running() { return mirvane->window.caption(Control::Command1) == u"端末通信終了"; }
};

}  // namespace mirvane::qt::testing
