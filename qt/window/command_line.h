#pragma once
// Mirvane's command line, read before any window or platform plugin is needed: the answers
// that need no window (--help, --version, --list-ports), the devices of the two lines, and
// the session's files, checked here and opened once the window can be shown.

#include <QString>
#include <QStringList>
#include <variant>

#include "qt/session/session.h"

namespace mirvane::qt {

// `arguments` as main() has them, the program's name first. A line's device is its option's
// over its variable's over the machine's default; an empty value is an error, not a fallback.
std::variant<Session, Finish> prepare_session(const QStringList& arguments, const Environment& environment);

// Whether a window can be shown: a display is named, or the chosen platform needs none.
bool display_available();

// What to say, and how to end, when it cannot.
Finish no_display();

}  // namespace mirvane::qt
