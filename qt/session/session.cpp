#include "qt/session/session.h"

#include "logs/session_records.h"
#include "qt/serial/line_options.h"
#include "qt/session/qt_record_file.h"

namespace mirvane::qt {

namespace {

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
    const Choice terminal = choose_device(parser, "terminal-port", environment.port1, "MIRVANE_PORT1", 1);
    const Choice monitor = choose_device(parser, "monitor-port", environment.port2, "MIRVANE_PORT2", 2);
    for (const Choice* choice : {&terminal, &monitor}) {
        if (!choice->problem.isEmpty()) return refuse(program, choice->problem);
    }
    if (terminal.device == kNoDevice)
        return refuse(program, QStringLiteral("the terminal line needs a device; none is for the monitor line"));
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
        if (path.isEmpty()) return refuse(program, "--" + QString::fromLatin1(option) + " needs a file name");
        auto opened = QtRecordFile::open(path, header);
        if (auto* reason = std::get_if<QString>(&opened)) {
            return Finish{2, {}, program + ": cannot append to " + path + ": " + *reason + u'\n'};
        }
        file = std::move(std::get<std::unique_ptr<QtRecordFile>>(opened));
    }
    return session;
}

}  // namespace mirvane::qt
