#pragma once
// Mirvane's command line, read before any window or platform plugin is needed: the answers
// that need no window (--help, --version, --list-ports), the devices of the two lines, and
// the session's files, opened here so that a bad path is refused before anything starts.

#include <QString>
#include <QStringList>
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

// What a session starts with.
struct Session {
    QString terminal_device;
    QString monitor_device;  // kNoDevice: no monitor line
    std::unique_ptr<RecordFile> log;
    std::unique_ptr<RecordFile> capture;
};

// Mirvane ends before any window: with this exit code, having printed these texts.
struct Finish {
    int exit_code = 0;
    QString output;  // standard output
    QString error;   // standard error
};

// `arguments` as main() has them, the program's name first. A line's device is its option's
// over its variable's over the machine's default; an empty value is an error, not a fallback.
std::variant<Session, Finish> prepare_session(const QStringList& arguments, const Environment& environment);

// Whether a window can be shown: a display is named, or the chosen platform needs none.
bool display_available();

// What to say, and how to end, when it cannot.
Finish no_display();

}  // namespace mirvane::qt
