#include "unattended/test_command_line.h"

#include <QCommandLineParser>
#include <QFile>
#include <QStringDecoder>
#include <algorithm>

#include "mirvane_version.h"
#include "unattended/test_words.h"

namespace mirvane::unattended {

namespace {

const QString kProgram = QStringLiteral("mirvane-test");

const char* const kDescription =
    "Runs call tests on a handset unattended: each FILE holds cases of steps that press Mirvane's "
    "controls and expectations over the entries and labels the handset's answers give, judged "
    "without a display. A line per case as it ends, then a count; --junit writes the run as "
    "JUnit XML for a CI server.";

const char* const kEpilogue = R"(
Output: a line per case as it ends (passed, FAILED or ERROR, its time; for a
failure the file and line, what was expected and the last entries seen), then
"N passed, N failed".

Exit status: 0 every case passed; 1 a case failed or could not finish; 2 a bad
option, a bad file (FILE:LINE: why, before any line is opened) or a line that
cannot be opened.

Environment:
  MIRVANE_PORT1  the terminal line's device when --terminal-port is not given
  MIRVANE_PORT2  the monitor line's device when --monitor-port is not given

Without hardware:
  mirvane-sim -- mirvane-test FILE... runs the tests beside the simulated
  handset; the example tests in /usr/share/mirvane/tests/ each name the handset
  scenario they were written for.
)";

void add_options(QCommandLineParser& parser) {
    parser.setApplicationDescription(QString::fromUtf8(kDescription));
    parser.addOptions({
        {{"h", "help"}, "Show this help and exit."},
        {{"v", "version"}, "Show the version and exit."},
        {"check", "Read the files and report every mistake; open nothing."},
        {"junit", "Write the run to FILE as JUnit XML.", "FILE"},
    });
    qt::add_session_options(parser);
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("A test file."), QStringLiteral("FILE..."));
}

}  // namespace

TestFile load_test_file(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {path.toStdString(), {}, {{0, "cannot read: " + file.errorString().toStdString()}}};
    const QList<QByteArray> lines = file.readAll().split('\n');
    std::u16string text;
    std::vector<Mistake> not_utf8;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString line = decoder.decode(lines[i]);
        if (i > 0) text += u'\n';
        // A line that is not UTF-8 is that mistake alone, not also a mistake in what it says.
        if (decoder.hasError()) {
            not_utf8.push_back({static_cast<int>(i + 1), "not UTF-8"});
        } else {
            text += line.toStdU16String();
        }
    }
    TestFile read = read_test_file(path.toStdString(), text);
    read.mistakes.insert(read.mistakes.begin(), not_utf8.begin(), not_utf8.end());
    std::stable_sort(read.mistakes.begin(), read.mistakes.end(),
                     [](const Mistake& a, const Mistake& b) { return a.line < b.line; });
    return read;
}

std::variant<TestRun, qt::Finish> read_command_line(const QStringList& arguments) {
    QCommandLineParser parser;
    add_options(parser);
    if (!parser.parse(arguments)) return qt::refuse(kProgram, parser.errorText());
    if (parser.isSet("help")) {
        QString help = parser.helpText();
        help.replace(QStringLiteral("<executable_name>"), kProgram);
        return qt::Finish{
            0, help + u'\n' + QString::fromStdString(file_format_help()) + QString::fromUtf8(kEpilogue), {}};
    }
    if (parser.isSet("version")) return qt::Finish{0, kProgram + u' ' + QStringLiteral(MIRVANE_VERSION) + u'\n', {}};
    if (parser.positionalArguments().isEmpty()) return qt::refuse(kProgram, QStringLiteral("no test file given"));
    if (parser.isSet("junit") && parser.value("junit").isEmpty())
        return qt::refuse(kProgram, QStringLiteral("--junit needs a file name"));

    TestRun run{{}, parser.value("junit"), arguments};
    QString mistakes;
    int cases = 0;
    for (const QString& path : parser.positionalArguments()) {
        run.files.push_back(load_test_file(path));
        for (const Mistake& mistake : run.files.back().mistakes)
            mistakes += QString::fromStdString(describe(run.files.back(), mistake)) + u'\n';
        cases += static_cast<int>(run.files.back().cases.size());
    }
    if (!mistakes.isEmpty()) return qt::Finish{2, {}, mistakes};
    if (parser.isSet("check")) {
        return qt::Finish{0, QStringLiteral("%1 files, %2 cases: no mistakes\n").arg(run.files.size()).arg(cases), {}};
    }
    return run;
}

std::variant<qt::Session, qt::Finish> read_lines(const QStringList& arguments, const qt::Environment& environment) {
    QCommandLineParser parser;
    add_options(parser);
    parser.parse(arguments);
    return qt::read_session(parser, environment, kProgram);
}

}  // namespace mirvane::unattended
