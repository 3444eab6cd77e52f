#pragma once
// mirvane-test's command line, and the test files it names read before anything is opened:
// a bad option or a bad file ends the program with status 2 before any line or file opens.

#include <QString>
#include <QStringList>
#include <variant>
#include <vector>

#include "qt/session/session.h"
#include "unattended/test_file.h"

namespace mirvane::unattended {

struct TestRun {
    std::vector<TestFile> files;
    QString junit;  // empty: no JUnit file
    // The lines and the session's files; read after the test files, so that --check opens
    // nothing.
    QStringList arguments;
};

// `arguments` as main() has them, the program's name first. --help, --version, --check, a
// refusal and every mistake of the files end here.
std::variant<TestRun, qt::Finish> read_command_line(const QStringList& arguments);

// The session the options ask for: lines and files as mirvane takes them.
std::variant<qt::Session, qt::Finish> read_lines(const QStringList& arguments, const qt::Environment& environment);

// A test file as read from disk: UTF-8, checked line by line.
TestFile load_test_file(const QString& path);

}  // namespace mirvane::unattended
