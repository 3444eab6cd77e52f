// The command line's choices and the session's files, in process: the program as main()
// makes it, on the offscreen platform, its lines pseudo-terminals driven from their far ends.

#include <QProcess>
#include <QTemporaryDir>

#include "support/program_rig.h"

namespace mirvane::qt::testing {

using enum Control;

namespace {

// A file's lines, each cut after its local date and time, once seen.
QStringList unstamped_lines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {"cannot read " + path};
    QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    static const QRegularExpression stamp(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} )");
    for (QString& line : lines) line = stamp.match(line).hasMatch() ? line.mid(24) : "unstamped: " + line;
    return lines;
}

// The program with these options after two naming its lines; the variables name devices
// that do not exist, and the options must win.
void start_with(ProgramRig& rig, const QStringList& options) {
    qputenv("MIRVANE_PORT1", "/nowhere/1"), qputenv("MIRVANE_PORT2", "/nowhere/2");
    const QStringList lines{"--terminal-port", rig.terminal.path(), "--monitor-port", rig.monitor.path()};
    rig.start_program(lines + options);
}

void wait_for_lines(const ProgramRig& rig, qsizetype count) {
    QVERIFY(QTest::qWaitFor([&] { return rig.form().text(Text2).find(u" : ") != 0 && rig.log().size() == count; }));
}

}  // namespace

class SessionTest : public QObject {
    Q_OBJECT

private slots:
    // Refusals, an empty option or variable among them, are the command line test's.
    void devices_are_the_options_over_the_variables_over_the_defaults() {
        const struct { const char* options; std::optional<QString> port1, port2; QString devices; } rows[] = {
            {"mirvane", {}, {}, "/dev/ttyS0 /dev/ttyS1"},
            {"mirvane", "/dev/a", "/dev/b", "/dev/a /dev/b"},
            {"mirvane --terminal-port /dev/x --monitor-port=/dev/y", "/dev/a", "/dev/b", "/dev/x /dev/y"},
            {"mirvane --monitor-port none", "/dev/a", "/dev/b", "/dev/a none"},
            {"mirvane", {}, "none", "/dev/ttyS0 none"},
            {"mirvane --terminal-port /dev/x", "", {}, "/dev/x /dev/ttyS1"},  // an empty variable not used
        };
        for (const auto& row : rows) {
            const auto prepared = prepare_session(QString(row.options).split(' '), {row.port1, row.port2});
            const auto* session = std::get_if<Session>(&prepared);
            QCOMPARE(session ? session->terminal_device + ' ' + session->monitor_device : "refused", row.devices);
        }
    }

    // Each is appended to, never truncated: the capture played back into a fresh program
    // with the same log adds the same entries, in the same order, after the first session's.
    void the_log_is_the_panes_lines_oldest_first_the_capture_every_read_and_replays_the_same() {
        QTemporaryDir files;
        const QString log = files.filePath("session.log"), capture = files.filePath("capture.txt");
        ProgramRig rig;
        start_with(rig, {"--log", log, "--capture", capture});
        rig.click(Command1);
        rig.terminal.write({0xC5, 0xAD, 0x31});
        QVERIFY(QTest::qWaitFor([&] { return rig.form().text(Text1) == u"31 AD C5"; }));
        rig.monitor.write({0x86});  // lands while AD 31 waits for its last three bytes
        wait_for_lines(rig, 2);
        rig.terminal.write({0x32, 0x33, 0x34, 0x80});
        wait_for_lines(rig, 4);
        const QStringList pane = QString::fromStdU16String(rig.form().text(Text2)).split("\r\n");
        QVERIFY(pane[1].startsWith("AD 31 32 33 34 : "));
        rig.click(Command7);
        QCOMPARE(unstamped_lines(log), QStringList(pane.crbegin(), pane.crend()) << "---- 情報表示消去 ----");
        QCOMPARE(unstamped_lines(capture),
                 QStringList({"unstamped: # Mirvane capture: one read a line: local date and time, line, bytes in hex",
                              "terminal C5 AD 31", "monitor 86", "terminal 32 33 34 80"}));

        QProcess far_side;
        far_side.start(MIRVANE_SIM_PROGRAM, {"--serve", "--full-speed", "--replay", capture});
        QVERIFY(QTest::qWaitFor([&] { return far_side.canReadLine() && far_side.bytesAvailable() > 40; }));
        const QStringList paths = QString(far_side.readAll()).remove(QRegularExpression("MIRVANE_PORT.=")).split('\n');
        rig.start_program({"--terminal-port", paths[0], "--monitor-port", paths[1], "--log", log});
        rig.click(Command1);
        wait_for_lines(rig, 4);
        const QStringList lines = unstamped_lines(log).replaceInStrings(QRegularExpression(R"(\[[\d:]{8}\] )"), "");
        QCOMPARE(lines.mid(5), lines.mid(0, 4));
        far_side.terminate(), far_side.waitForFinished();
    }

    // A bench with one adapter: the terminal line alone opens, and every button works. A log
    // that fails a write is named in one box, and the session goes on without it.
    void one_adapter_opens_the_terminal_line_alone_and_a_failing_log_is_named_in_one_box() {
        QTemporaryDir files;
        const QString capture = files.filePath("capture.txt");
        ProgramRig rig;
        start_with(rig, {"--monitor-port", "none", "--log", "/dev/full", "--capture", capture});
        rig.click(Command1);
        QVERIFY(ProgramRig::opened(rig.terminal) && !ProgramRig::opened(rig.monitor));
        rig.click(Command6);
        QCOMPARE(rig.terminal.wait_for(1), Bytes{0x86});
        rig.terminal.write({0x80, 0x81});
        wait_for_lines(rig, 2);
        QVERIFY(QTest::qWaitFor([&] { return !rig.boxes.seen.empty(); }));
        rig.terminal.write({0x80});
        wait_for_lines(rig, 3);
        QCOMPARE(unstamped_lines(capture).mid(1), QStringList({"terminal 80 81", "terminal 80"}));
        rig.click(Command1);
        QVERIFY(!ProgramRig::opened(rig.terminal) && rig.boxes.seen.size() == 1);
        QCOMPARE(rig.boxes.seen[0].text,
                 "記録ファイル（/dev/full）に書き込めないため、このファイルへの記録をやめました：No space left on device");
    }
};

}  // namespace mirvane::qt::testing

QTEST_MAIN(mirvane::qt::testing::SessionTest)
#include "session_test.moc"
