// The command line's choices and the session's files, in process: the program as main()
// makes it, on the offscreen platform, its lines pseudo-terminals driven from their far ends.

#include <QProcess>
#include <QTemporaryDir>

#include "support/program_rig.h"

namespace mirvane::qt::testing {

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
    rig.start_program(QStringList{"--terminal-port", rig.terminal.path(), "--monitor-port", rig.monitor.path()} + options);
}

void wait_for_lines(const ProgramRig& rig, qsizetype count) {
    QVERIFY(QTest::qWaitFor([&] { return rig.form().text(Control::Text2).find(u" : ") != 0 && rig.log().size() == count; }));
}

}  // namespace

class SessionTest : public QObject {
    Q_OBJECT

private slots:
    void devices_are_the_options_over_the_variables_over_the_defaults_and_empty_is_refused() {
        const struct { const char* options; std::optional<QString> port1, port2; QString devices; } rows[] = {
            {"", {}, {}, "/dev/ttyS0 /dev/ttyS1"},
            {"", "/dev/a", "/dev/b", "/dev/a /dev/b"},
            {"--terminal-port /dev/x --monitor-port=/dev/y", "/dev/a", "/dev/b", "/dev/x /dev/y"},
            {"--monitor-port none", "/dev/a", "/dev/b", "/dev/a none"},
            {"", {}, "none", "/dev/ttyS0 none"},
            {"--terminal-port /dev/x", "", {}, "/dev/x /dev/ttyS1"},  // an empty variable not used
            {"", "", {}, "exit 2"},
            {"--monitor-port=", {}, {}, "exit 2"},
        };
        for (const auto& row : rows) {
            const auto prepared = prepare_session(("mirvane " + QString(row.options)).split(' ', Qt::SkipEmptyParts), {row.port1, row.port2});
            const auto* session = std::get_if<Session>(&prepared);
            QCOMPARE(session ? session->terminal_device + ' ' + session->monitor_device
                             : "exit " + QString::number(std::get<Finish>(prepared).exit_code), row.devices);
        }
    }

    void a_bench_with_one_adapter_opens_the_terminal_line_alone_and_every_button_works() {
        ProgramRig rig;
        start_with(rig, {"--monitor-port", "none"});
        rig.click(Control::Command1);
        QVERIFY(ProgramRig::opened(rig.terminal) && !ProgramRig::opened(rig.monitor));
        rig.click(Control::Command6);
        QCOMPARE(rig.terminal.wait_for(1), Bytes{0x86});
        rig.click(Control::Command1);
        QVERIFY(!ProgramRig::opened(rig.terminal) && rig.boxes.seen.empty());
    }

    void the_log_is_the_panes_lines_oldest_first_and_the_capture_every_read() {
        QTemporaryDir files;
        const QString log = files.filePath("session.log"), capture = files.filePath("capture.txt");
        QFile earlier(log);
        QVERIFY(earlier.open(QIODevice::WriteOnly) && earlier.write("from an earlier session\n") > 0 && earlier.flush());
        ProgramRig rig;
        start_with(rig, {"--log", log, "--capture", capture});
        rig.click(Control::Command1);
        rig.terminal.write({0xC5, 0xAD, 0x31});
        QVERIFY(QTest::qWaitFor([&] { return rig.form().text(Control::Text1) == u"31 AD C5"; }));
        rig.monitor.write({0x86});  // lands while AD 31 waits for its last three bytes
        wait_for_lines(rig, 2);
        rig.terminal.write({0x32, 0x33, 0x34, 0x80});
        wait_for_lines(rig, 4);
        const QStringList pane = QString::fromStdU16String(rig.form().text(Control::Text2)).split("\r\n");
        QVERIFY(pane[1].startsWith("AD 31 32 33 34 : "));
        rig.click(Control::Command7);
        QCOMPARE(unstamped_lines(log), QStringList{"unstamped: from an earlier session"} +
                                           QStringList(pane.crbegin(), pane.crend()) << "---- 情報表示消去 ----");
        QCOMPARE(unstamped_lines(capture), QStringList({"unstamped: # Mirvane capture: one read a line: local date and time, line, bytes in hex",
                                                        "terminal C5 AD 31", "monitor 86", "terminal 32 33 34 80"}));

        // The capture replayed into a fresh program gives the same entries, in the same order.
        QProcess far_side;
        far_side.start(MIRVANE_SIM_PROGRAM, {"--serve", "--full-speed", "--replay", capture});
        QVERIFY(far_side.waitForReadyRead() && QTest::qWaitFor([&] { return far_side.canReadLine() && far_side.bytesAvailable() > 40; }));
        const QStringList paths = QString::fromLocal8Bit(far_side.readAll()).remove(QRegularExpression("MIRVANE_PORT.=")).split('\n');
        const QString replayed = files.filePath("replayed.log");
        rig.start_program({"--terminal-port", paths[0], "--monitor-port", paths[1], "--log", replayed});
        rig.click(Control::Command1);
        wait_for_lines(rig, 4);
        const auto entries = [](QStringList lines) { return lines.replaceInStrings(QRegularExpression(R"(\[\d\d:\d\d:\d\d\] )"), ""); };
        QCOMPARE(entries(unstamped_lines(replayed)), entries(unstamped_lines(log).mid(1, 4)));
        far_side.terminate();
        far_side.waitForFinished();
    }

    void a_log_that_fails_a_write_is_named_in_one_box_and_the_session_goes_on() {
        QTemporaryDir files;
        ProgramRig rig;
        start_with(rig, {"--log", "/dev/full", "--capture", files.filePath("capture.txt")});
        rig.click(Control::Command1);
        rig.terminal.write({0x80, 0x81});
        wait_for_lines(rig, 2);
        QVERIFY(QTest::qWaitFor([&] { return !rig.boxes.seen.empty(); }));
        rig.terminal.write({0x80});
        wait_for_lines(rig, 3);
        QCOMPARE(rig.boxes.seen.size(), 1u);
        QCOMPARE(rig.boxes.seen[0].text, "記録ファイル（/dev/full）に書き込めないため、このファイルへの記録をやめました：No space left on device");
        QCOMPARE(unstamped_lines(files.filePath("capture.txt")).mid(1), QStringList({"terminal 80 81", "terminal 80"}));
    }
};

}  // namespace mirvane::qt::testing

QTEST_MAIN(mirvane::qt::testing::SessionTest)
#include "session_test.moc"
