// mirvane-test: the command line and the test files are read, and every mistake reported,
// before any line is opened; then the cases run on the core beside the event loop, with no
// display and no widget library.

#include <QCoreApplication>
#include <QFile>
#include <cstdio>

#include "qt/session/signal_notice.h"
#include "shell/startup.h"
#include "unattended/headless_program.h"
#include "unattended/junit.h"
#include "unattended/report.h"
#include "unattended/test_command_line.h"
#include "vocabulary/utf8.h"

namespace {

using namespace mirvane;
using namespace mirvane::unattended;

int finish(const qt::Finish& finish) {
    std::fputs(finish.output.toUtf8().constData(), stdout);
    std::fputs(finish.error.toUtf8().constData(), stderr);
    return finish.exit_code;
}

void say(const std::string& text, FILE* stream = stdout) {
    std::fputs(text.c_str(), stream);
    std::fflush(stream);
}

}  // namespace

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    auto read = read_command_line(arguments);
    if (const auto* done = std::get_if<qt::Finish>(&read)) return finish(*done);
    const TestRun run = std::move(std::get<TestRun>(read));
    auto lines = read_lines(run.arguments, qt::Environment::current());
    if (const auto* done = std::get_if<qt::Finish>(&lines)) return finish(*done);
    QFile junit(run.junit);
    if (!run.junit.isEmpty() && !junit.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return finish({2, {}, "mirvane-test: cannot write " + run.junit + ": " + junit.errorString() + u'\n'});
    }

    int qt_argc = 1;
    QCoreApplication application(qt_argc, argv);
    auto& session = std::get<qt::Session>(lines);
    if (const auto refusal = qt::open_session_files(session, QStringLiteral("mirvane-test"))) return finish(*refusal);
    HeadlessProgram headless(std::move(session));
    RunnerWindow& window = headless.window;
    const qt::SignalNotice signal_stop("mirvane-test", [&window] { window.interrupt(); });
    Main(headless.program);
    CaseRunner runner(headless.program, window, headless.entries, window);
    if (auto problem = runner.start()) {
        say("mirvane-test: " + to_utf8(*problem) + "\n", stderr);
        return 2;
    }

    std::vector<FileResult> results;
    for (const TestFile& file : run.files) {
        results.push_back(
            runner.run(file, [](const FileResult& in, const CaseResult& result) { say(case_line(in, result)); }));
    }
    runner.finish();
    say(closing_line(results));
    if (const auto& failure = headless.entries.forward_failure()) {
        say("mirvane-test: the log stopped: " + to_utf8(*failure) + "\n", stderr);
    }
    if (junit.isOpen()) {
        const std::string xml = junit_xml(results);
        if (junit.write(xml.data(), static_cast<qint64>(xml.size())) != static_cast<qint64>(xml.size()) ||
            !junit.flush()) {
            say("mirvane-test: cannot write " + run.junit.toStdString() + ": " + junit.errorString().toStdString() +
                    "\n",
                stderr);
            return 1;
        }
    }
    return all_passed(results) ? 0 : 1;
}
