#pragma once
// What a session starts with, read from the command line before anything is opened: the two
// lines' devices and the session's files. Shared by every program that runs a session on the
// real lines, so that each takes its lines and files alike.

#include <QCommandLineParser>
#include <QString>
#include <memory>
#include <optional>
#include <variant>

#include "program/record_file.h"

namespace mirvane::qt {

// The monitor line's device on a bench with one adapter: there is no monitor line.
inline const QString kNoDevice = QStringLiteral("none");

// The variables that name the devices when no option does. Set but empty is not unset.
struct Environment {
    std::optional<QString> port1;
    std::optional<QString> port2;
    static Environment current();
};

struct Session {
    QString terminal_device;
    QString monitor_device;  // kNoDevice: no monitor line
    // Named by an option or a variable rather than taken from the machine's defaults.
    bool terminal_named = false;
    bool monitor_named = false;
    // The person picks the lines not named, before anything is opened.
    bool choose_ports = false;
    // A lost line is waited for, and communication starts again when it is back.
    bool reconnect = false;
    // As named (argument_text), empty when not asked for; opened by open_session_files.
    QString log_path;
    QString capture_path;
    std::unique_ptr<RecordFile> log;
    std::unique_ptr<RecordFile> capture;
};

// The program ends before any line is opened: with this exit code, having printed these texts.
struct Finish {
    int exit_code = 0;
    QString output;  // standard output
    QString error;   // standard error
};

// A refusal of the command line: exit 2, the problem and where to read more.
Finish refuse(const QString& program, const QString& problem);

// --terminal-port, --monitor-port, --log and --capture.
void add_session_options(QCommandLineParser& parser);

// The session the parsed options ask for. A line's device is its option's over its variable's
// over the machine's default; an empty value is an error, not a fallback. Refused as well: an
// option given twice, one device for both lines, a log or capture that is a line's device, one
// file for both. Nothing is made here: the files are opened once nothing else can refuse.
std::variant<Session, Finish> read_session(const QCommandLineParser& parser, const Environment& environment,
                                           const QString& program);

// Opens (creating) the session's files, or says why one cannot be appended to (exit 2).
std::optional<Finish> open_session_files(Session& session, const QString& program);

}  // namespace mirvane::qt
