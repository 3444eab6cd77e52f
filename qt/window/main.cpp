// The program's entry. The command line is read and checked before any window or platform
// plugin is needed, so that --help, --version, --list-ports and every refusal work without
// a display; the session's files are made only once the window can be shown.

#include <QApplication>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "qt/session/named_files.h"
#include "qt/window/command_line.h"
#include "qt/window/port_dialog.h"
#include "qt/window/qt_program.h"
#include "qt/window/replay_player.h"
#include "qt/window/signal_exit.h"
#include "shell/startup.h"

namespace {

// An answer that did not reach its reader (a full disk, a pipe nobody reads) is a failure.
int finish(const mirvane::qt::Finish& finish) {
    // A path named in a message is given back as the bytes it came as.
    const bool answered =
        std::fputs(mirvane::qt::argument_bytes(finish.output).constData(), stdout) >= 0 && std::fflush(stdout) == 0;
    const int error = errno;
    std::fputs(mirvane::qt::argument_bytes(finish.error).constData(), stderr);
    if (answered) return finish.exit_code;
    std::fprintf(stderr, "mirvane: the answer could not be written: %s\n", std::strerror(error));
    return 1;
}

// What Qt says while its platform plugin starts. When none can start (a display that cannot
// be reached, a plugin missing), Qt would abort after several lines; the first says why.
QStringList platform_messages;

void hold_platform_message(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type != QtFatalMsg) {
        platform_messages << message;
        return;
    }
    const QString reason = platform_messages.value(0, message.section(u'\n', 0, 0));
    std::fprintf(stderr, "mirvane: no window can be shown: %s\n", reason.toLocal8Bit().constData());
    std::fflush(stderr);
    std::_Exit(1);
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
    auto replay = mirvane::qt::read_replay(arguments);
    if (const auto* done = std::get_if<mirvane::qt::Finish>(&replay)) return finish(*done);
    if (!mirvane::qt::display_available()) return finish(mirvane::qt::no_display());

    // Qt's own event dispatcher rather than GLib's: the window uses nothing of GLib's main
    // loop, and each turn costs less, which counts when at 600 baud every byte is a turn of
    // its own. Set outside, the variable is left as it is.
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB")) qputenv("QT_NO_GLIB", "1");
    // A paint goes to the X server in the request itself rather than through shared memory,
    // which makes every paint wait for a round trip to the server before it may draw: a paint
    // here is a few rows of a pane, cheaper to send than to wait for, at up to 40 a second.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");
    // Qt sees the program's name alone: every argument has been read above.
    int qt_argc = 1;
    qInstallMessageHandler(hold_platform_message);
    QApplication application(qt_argc, argv);
    qInstallMessageHandler(nullptr);
    for (const QString& message : std::exchange(platform_messages, {})) qWarning("%s", qPrintable(message));
    QApplication::setApplicationName(QStringLiteral("Mirvane"));

    auto& session = std::get<mirvane::qt::Session>(prepared);
    if (session.choose_ports && !mirvane::qt::pick_session_ports(session)) return 0;  // cancelled
    if (const auto refusal = mirvane::qt::open_session_files(session, QStringLiteral("mirvane"))) {
        return finish(*refusal);
    }
    mirvane::qt::QtProgram mirvane(std::move(session));
    const mirvane::qt::SignalExit signal_exit(mirvane.program);
    mirvane::Main(mirvane.program);
    std::optional<mirvane::qt::ReplayPlayer> player;
    if (auto& request = std::get<0>(replay)) player.emplace(mirvane.program, std::move(*request));
    return QApplication::exec();
}
