#include "qt/session/session.h"

#include <QDateTime>
#include <cstdlib>
#include <cstring>

#include "link/line_settings.h"
#include "logs/session_records.h"
#include "mirvane_version.h"
#include "qt/serial/line_options.h"
#include "qt/session/named_files.h"
#include "qt/session/qt_record_file.h"

namespace mirvane::qt {

namespace {

struct Choice {
    QString device;
    QString problem;
    bool named = true;
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
    return {default_device(number), {}, false};
}

Finish cannot_append(const QString& program, const QString& path, const QString& reason) {
    return {2, {}, program + ": cannot append to " + path + ": " + reason + u'\n'};
}

Finish cannot_append(const QString& program, const QString& path, int error) {
    return cannot_append(program, path, QString::fromLocal8Bit(std::strerror(error)));
}

}  // namespace

Environment Environment::current() {
    const auto variable = [](const char* name) -> std::optional<QString> {
        if (!qEnvironmentVariableIsSet(name)) return std::nullopt;
        return qEnvironmentVariable(name);
    };
    return {variable("MIRVANE_PORT1"), variable("MIRVANE_PORT2")};
}

Finish refuse(const QString& program, const QString& problem) {
    return {2, {}, program + ": " + problem + "\nTry '" + program + " --help' for more.\n"};
}

void add_session_options(QCommandLineParser& parser) {
    parser.addOptions({
        {"terminal-port",
         "The terminal line's device: status codes in, command codes out "
         "(default /dev/ttyS0).",
         "DEVICE"},
        {"monitor-port",
         "The monitor line's device, only read (default /dev/ttyS1); none: a "
         "bench with one adapter, the terminal line alone.",
         "DEVICE"},
        {"log", "Append every entry of the message log to FILE.", "FILE"},
        {"capture", "Append every read of either line to FILE.", "FILE"},
    });
}

std::variant<Session, Finish> read_session(const QCommandLineParser& parser, const Environment& environment,
                                           const QString& program) {
    Session session;
    // One value each: a second would silently win over the first.
    for (const QString& option : parser.optionNames()) {
        if (parser.values(option).size() > 1) return refuse(program, "--" + option + " is given more than once");
    }
    const Choice terminal = choose_device(parser, "terminal-port", environment.port1, "MIRVANE_PORT1", 1);
    const Choice monitor = choose_device(parser, "monitor-port", environment.port2, "MIRVANE_PORT2", 2);
    for (const Choice* choice : {&terminal, &monitor}) {
        if (!choice->problem.isEmpty()) return refuse(program, choice->problem);
    }
    if (terminal.device == kNoDevice)
        return refuse(program, QStringLiteral("the terminal line needs a device; none is for the monitor line"));
    session.terminal_device = terminal.device;
    session.monitor_device = monitor.device;
    session.terminal_named = terminal.named;
    session.monitor_named = monitor.named;

    // Compared by what they name, after links: a log written to a line's device would reach
    // the handset or a line that is only read, and one file for both would mix them.
    const struct {
        QString name;
        std::optional<FileIdentity> identity;
    } lines[] = {{"terminal", identify(device_path(terminal.device))},
                 {"monitor", monitor.device == kNoDevice ? std::nullopt : identify(device_path(monitor.device))}};
    if (monitor.device != kNoDevice &&
        (terminal.device == monitor.device ||
         (lines[0].identity && lines[1].identity && lines[0].identity->same_as(*lines[1].identity)))) {
        const QString devices =
            terminal.device == monitor.device ? terminal.device : terminal.device + " and " + monitor.device;
        return refuse(program, "the terminal and monitor lines are the same device: " + devices);
    }
    std::optional<FileIdentity> first_file;
    for (const auto& [option, path] : {std::pair{"log", &session.log_path}, {"capture", &session.capture_path}}) {
        if (!parser.isSet(option)) continue;
        *path = parser.value(option);
        const QString named = "--" + QString::fromLatin1(option) + u' ' + *path;
        if (path->isEmpty()) return refuse(program, "--" + QString::fromLatin1(option) + " needs a file name");
        if (const int refusal = append_refusal(argument_bytes(*path))) return cannot_append(program, *path, refusal);
        const std::optional<FileIdentity> identity = identify(argument_bytes(*path));
        if (!identity) continue;
        for (const auto& line : lines) {
            if (line.identity && identity->same_as(*line.identity))
                return refuse(program, named + " is the " + line.name + " line's device");
        }
        if (first_file && identity->same_as(*first_file))
            return refuse(program, "--log and --capture name the same file: " + *path);
        first_file = identity;
    }
    return session;
}

namespace {

// A run's part of the log is read alone, often far from the bench, so it names what it ran
// on and when, with the offset that makes the local stamps after it comparable.
QStringList log_header(const Session& session, const QString& program) {
    const QString settings = QString::fromStdU16String(std::u16string(kLineSettings));
    const auto line = [&](const QString& device) { return device == kNoDevice ? device : device + u' ' + settings; };
    const QDateTime now = QDateTime::currentDateTime();
    const int offset = now.offsetFromUtc() / 60;
    const QString zone = QStringLiteral("UTC%1%2:%3")
                             .arg(QChar(offset < 0 ? u'-' : u'+'))
                             .arg(std::abs(offset) / 60, 2, 10, QChar(u'0'))
                             .arg(std::abs(offset) % 60, 2, 10, QChar(u'0'));
    return {"# " + program + u' ' + QStringLiteral(MIRVANE_VERSION), "# terminal line " + line(session.terminal_device),
            "# monitor line " + line(session.monitor_device),
            "# started " + now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss ")) + zone};
}

}  // namespace

std::optional<Finish> open_session_files(Session& session, const QString& program) {
    const struct {
        const QString& path;
        const QString header;
        std::unique_ptr<RecordFile>& file;
    } files[] = {{session.log_path, {}, session.log},
                 {session.capture_path, QString::fromStdU16String(std::u16string(kCaptureHeader)), session.capture}};
    for (const auto& [path, header, file] : files) {
        if (path.isEmpty()) continue;
        auto opened = QtRecordFile::open(path, header);
        if (auto* reason = std::get_if<QString>(&opened)) {
            return cannot_append(program, path, *reason);
        }
        file = std::move(std::get<std::unique_ptr<QtRecordFile>>(opened));
    }
    // A header that cannot be written fails again at the first line the core writes, which
    // gives the file up with its box.
    if (session.log) {
        for (const QString& line : log_header(session, program)) session.log->append(line.toStdU16String());
    }
    return std::nullopt;
}

}  // namespace mirvane::qt
