// The program's entry: no options, no configuration file, nothing written to disk. The
// devices are chosen by MIRVANE_PORT1 and MIRVANE_PORT2 when they are set.

#include <QApplication>

#include "shell/qt/qt_program.h"
#include "shell/qt/signal_exit.h"
#include "shell/startup.h"

int main(int argc, char* argv[]) {
    // Qt's own event dispatcher rather than GLib's: the window uses nothing of GLib's main
    // loop, and each turn costs less, which counts when at 600 baud every byte is a turn of
    // its own. Set outside, the variable is left as it is.
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB")) qputenv("QT_NO_GLIB", "1");
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Mirvane"));
    mirvane::qt::QtProgram mirvane;
    const mirvane::qt::SignalExit signal_exit(mirvane.program);
    mirvane::Main(mirvane.program);
    return QApplication::exec();
}
