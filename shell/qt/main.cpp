// The program's entry: no options, no configuration file, nothing written to disk. The
// devices are chosen by MIRVANE_PORT1 and MIRVANE_PORT2 when they are set.

#include <QApplication>

#include "shell/qt/qt_program.h"
#include "shell/startup.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Mirvane"));
    mirvane::qt::QtProgram mirvane;
    mirvane::Main(mirvane.program);
    return QApplication::exec();
}
