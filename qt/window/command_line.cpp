#include "qt/window/command_line.h"

#include <QCommandLineParser>
#include <QSerialPortInfo>

#include "mirvane_version.h"

namespace mirvane::qt {

namespace {

const QString kProgram = QStringLiteral("mirvane");

// Wrapped here: the parser prints the description as it is.
const char* const kDescription =
    "Mirvane drives a mobile telephone terminal over an RS-232C line (600 baud, even\n"
    "parity, 8 data bits, 1 stop bit): it sends the terminal its command codes,\n"
    "decodes the status codes it reports into a time-stamped log and names the\n"
    "command codes seen on a second, monitoring line.";

const char* const kEpilogue = R"(
Environment:
  MIRVANE_PORT1  the terminal line's device when --terminal-port is not given
  MIRVANE_PORT2  the monitor line's device when --monitor-port is not given

Files:
  The session log holds one entry a line, oldest first: the local date and time
  (YYYY-MM-DD HH:MM:SS.mmm), then the entry as the log pane shows it. The
  capture holds one read a line: date and time, "terminal" or "monitor", the
  bytes in hexadecimal; between them, the operator's start, stop and clear,
  each as one word after the date and time. mirvane --replay FILE [--full-speed]
  plays a capture into the window, opening no line, at the captured pace or as
  fast as it decodes: with --log, it logs the entries of the session that made
  it, at their captured times. A message still being collected at a clear or at
  the exit is logged as it stands, followed by " （未完）" (unfinished).
  mirvane-sim --replay FILE plays the reads alone on the lines.
  Both files are appended to, and either may be a pipe or a FIFO (started
  before mirvane): a slow reader holds nothing up, its lines wait up to 8 MB. A
  file that fails (a full disk, a reader gone, a reader 8 MB behind) is named
  in one box; the session goes on without it.
)";

Finish refuse(const QString& problem) { return qt::refuse(kProgram, problem); }

QString hex4(quint16 value) { return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0')); }

// The device path first, then what the system knows of the port, each labelled.
QString list_ports() {
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    if (ports.isEmpty()) return QStringLiteral("no serial ports found\n");
    QString text;
    for (const QSerialPortInfo& port : ports) {
        QStringList fields{port.systemLocation()};
        const auto add = [&](const char* label, const QString& value) {
            if (!value.isEmpty()) fields << QString::fromLatin1(label) + u' ' + value;
        };
        add("description:", port.description());
        add("manufacturer:", port.manufacturer());
        add("serial number:", port.serialNumber());
        if (port.hasVendorIdentifier()) add("USB vendor id:", hex4(port.vendorIdentifier()));
        if (port.hasProductIdentifier()) add("USB product id:", hex4(port.productIdentifier()));
        text += fields.join(QStringLiteral("  ")) + u'\n';
    }
    return text;
}

}  // namespace

std::variant<Session, Finish> prepare_session(const QStringList& arguments, const Environment& environment) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(kDescription));
    parser.addOptions({
        {{"h", "help"}, "Show this help and exit."},
        {{"v", "version"}, "Show the version and exit."},
        {"list-ports", "List the machine's serial ports and exit."},
        {"replay", "Play the capture FILE into the window, opening no line.", "FILE"},
        {"full-speed", "With --replay: play as fast as the decoder takes it."},
        {"choose-ports",
         "Before the window, pick the lines not named by an option or a variable from the "
         "machine's serial ports; the pick is remembered for the next time."},
        {"reconnect",
         "When a line's device goes away, wait for it at the same path and start "
         "communication again when it is back."},
    });
    add_session_options(parser);
    if (!parser.parse(arguments)) return refuse(parser.errorText());
    if (!parser.positionalArguments().isEmpty()) {
        return refuse("unexpected argument '" + parser.positionalArguments().first() + "'");
    }
    if (parser.isSet("help")) {
        QString help = parser.helpText();
        help.replace(QStringLiteral("<executable_name>"), kProgram);
        return Finish{0, help + QString::fromUtf8(kEpilogue), {}};
    }
    if (parser.isSet("version")) return Finish{0, kProgram + u' ' + QStringLiteral(MIRVANE_VERSION) + u'\n', {}};
    if (parser.isSet("list-ports")) return Finish{0, list_ports(), {}};
    if (parser.isSet("replay") &&
        (parser.isSet("terminal-port") || parser.isSet("monitor-port") || parser.isSet("choose-ports"))) {
        return refuse("--replay opens no line: it takes no --terminal-port, --monitor-port or --choose-ports");
    }
    if (parser.isSet("full-speed") && !parser.isSet("replay")) return refuse("--full-speed goes with --replay");

    auto session = read_session(parser, environment, kProgram);
    if (auto* read = std::get_if<Session>(&session)) {
        read->choose_ports = parser.isSet("choose-ports");
        read->reconnect = parser.isSet("reconnect");
    }
    return session;
}

bool display_available() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    if (!qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        return true;
    }
    // A platform named outright, such as offscreen or vnc, may need no display; xcb and
    // wayland do, and without one Qt aborts.
    const QString platforms = qEnvironmentVariable("QT_QPA_PLATFORM");
    for (const QString& entry : platforms.split(u';', Qt::SkipEmptyParts)) {
        const QString name = entry.section(u':', 0, 0);
        if (!name.startsWith(QStringLiteral("xcb")) && !name.startsWith(QStringLiteral("wayland"))) return true;
    }
    return false;
#else
    return true;
#endif
}

Finish no_display() {
    return {1,
            {},
            kProgram + QStringLiteral(": no display found (neither DISPLAY nor WAYLAND_DISPLAY is set); "
                                      "run it in a graphical session or on a virtual display\n")};
}

}  // namespace mirvane::qt
