// The program's entry. The command line is read, the devices chosen and the session's
// files opened before any window or platform plugin is needed, so that --help, --version,
// --list-ports and every refusal work without a display.

#include <QApplication>
#include <csignal>
#include <cstdio>

#include "qt/session/named_files.h"
#include "qt/window/command_line.h"
#include "qt/window/qt_program.h"
#include "qt/window/signal_exit.h"
#include "shell/startup.h"

namespace {

int finish(const mirvane::qt::Finish& finish) {
    // A path named in a message is given back as the bytes it came as.
    std::fputs(mirvane::qt::argument_bytes(finish.output).constData(), stdout);
    std::fputs(mirvane::qt::argument_bytes(finish.error).constData(), stderr);
    return finish.exit_code;
}

}  // namespace

int main(int argc, char* argv[]) {
    // A reader that has gone (a pipe into head, a closed standard error) fails the write
    // that finds it gone; it must not end the program with the receiver up and the lines
    // locked.
    std::signal(SIGPIPE, SIG_IGN);
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << mirvane::qt::argument_text(argv[i]);
    auto prepared = mirvane::qt::prepare_session(arguments, mirvane::qt::Environment::current());
    if (const auto* done = std::get_if<mirvane::qt::Finish>(&prepared)) return finish(*done);
    if (!mirvane::qt::display_available()) return finish(mirvane::qt::no_display());

    // Qt's own event dispatcher rather than GLib's: the window uses nothing of GLib's main
    // loop, and each turn costs less, which counts when at 600 baud every byte is a turn of
    // its own. Set outside, the variable is left as it is.
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB")) qputenv("QT_NO_GLIB", "1");
    // Qt sees the program's name alone: every argument has been read above.
    int qt_argc = 1;
    QApplication application(qt_argc, argv);
    QApplication::setApplicationName(QStringLiteral("Mirvane"));
    mirvane::qt::QtProgram mirvane(std::move(std::get<mirvane::qt::Session>(prepared)));
    const mirvane::qt::SignalExit signal_exit(mirvane.program);
    mirvane::Main(mirvane.program);
    return QApplication::exec();
}
