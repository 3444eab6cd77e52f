#include "qt/window/command_line.h"

#include <QCommandLineParser>
#include <QSerialPortInfo>

#include "logs/session_records.h"
#include "mirvane_version.h"
#include "qt/serial/line_options.h"
#include "qt/window/qt_record_file.h"

namespace mirvane::qt {

namespace {

const QString kProgram = QStringLiteral("mirvane");

const char* const kDescription =
    "Mirvane drives a mobile telephone terminal over an RS-232C line (600 baud, even parity, "
    "8 data bits, 1 stop bit): it sends the terminal its command codes, decodes the status codes "
    "it reports into a time-stamped log and names the command codes seen on a second, monitoring "
    "line.";

const char* const kEpilogue = R"(
Environment:
  MIRVANE_PORT1  the terminal line's device when --terminal-port is not given
  MIRVANE_PORT2  the monitor line's device when --monitor-port is not given

Files:
  The session log holds one entry a line, oldest first: the local date and time
  (YYYY-MM-DD HH:MM:SS.mmm), then the entry as the log pane shows it. The capture
  holds one read a line: date and time, "terminal" or "monitor", the bytes in
  hexadecimal; mirvane-sim --replay FILE plays it back. Both are appended to.

Without a display, scripts/run plays a call on a virtual display.
)";

Finish refuse(const QString& problem) {
    return {2, {}, kProgram + ": " + problem + "\nTry 'mirvane --help' for more.\n"};
}

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

struct Choice {
    QString device;
    QString problem;
};

Choice choose_device(const QCommandLineParser& parser, const QString& option, const std::optional<QString>& variable,
                     const char* variable_name, std::int16_t number) {
    if (parser.isSet(option)) {
        const QString value = parser.value(option);
        if (value.isEmpty()) return {{}, "--" + option + " needs a device"};
        return {value, {}};
    }
    if (variable) {
        if (variable->isEmpty()) return {{}, QString::fromLatin1(variable_name) + " is set but empty"};
        return {*variable, {}};
    }
    return {default_device(number), {}};
}

}  // namespace

Environment Environment::current() {
    const auto variable = [](const char* name) -> std::optional<QString> {
        if (!qEnvironmentVariableIsSet(name)) return std::nullopt;
        return qEnvironmentVariable(name);
    };
    return {variable("MIRVANE_PORT1"), variable("MIRVANE_PORT2")};
}

std::variant<Session, Finish> prepare_session(const QStringList& arguments, const Environment& environment) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(kDescription));
    parser.addOptions({
        {{"h", "help"}, "Show this help and exit."},
        {{"v", "version"}, "Show the version and exit."},
        {"terminal-port",
         "The terminal line's device: status codes in, command codes out "
         "(default /dev/ttyS0).",
         "DEVICE"},
        {"monitor-port",
         "The monitor line's device, only read (default /dev/ttyS1); none: a "
         "bench with one adapter, the terminal line alone.",
         "DEVICE"},
        {"list-ports", "List the machine's serial ports and exit."},
        {"log", "Append every entry of the message log to FILE.", "FILE"},
        {"capture", "Append every read of either line to FILE.", "FILE"},
    });
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

    Session session;
    const Choice terminal = choose_device(parser, "terminal-port", environment.port1, "MIRVANE_PORT1", 1);
    const Choice monitor = choose_device(parser, "monitor-port", environment.port2, "MIRVANE_PORT2", 2);
    for (const Choice* choice : {&terminal, &monitor}) {
        if (!choice->problem.isEmpty()) return refuse(choice->problem);
    }
    if (terminal.device == kNoDevice)
        return refuse(QStringLiteral("the terminal line needs a device; none is for the monitor line"));
    session.terminal_device = terminal.device;
    session.monitor_device = monitor.device;

    const struct {
        const char* option;
        const QString header;
        std::unique_ptr<RecordFile>& file;
    } files[] = {{"log", {}, session.log},
                 {"capture", QString::fromStdU16String(std::u16string(kCaptureHeader)), session.capture}};
    for (const auto& [option, header, file] : files) {
        if (!parser.isSet(option)) continue;
        const QString path = parser.value(option);
        if (path.isEmpty()) return refuse("--" + QString::fromLatin1(option) + " needs a file name");
        auto opened = QtRecordFile::open(path, header);
        if (auto* reason = std::get_if<QString>(&opened)) {
            return Finish{2, {}, kProgram + ": cannot append to " + path + ": " + *reason + u'\n'};
        }
        file = std::move(std::get<std::unique_ptr<QtRecordFile>>(opened));
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
                                      "scripts/run plays a call on a virtual display\n")};
}

}  // namespace mirvane::qt
