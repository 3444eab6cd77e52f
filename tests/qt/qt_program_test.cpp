// The whole program on Qt as main() makes it, on the offscreen platform: the command line's
// choices, the session's files, the buttons, its terminal line and monitor line on real
// pseudo-terminals driven from their far sides as the terminal and the monitor tap would.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include "support/program_rig.h"

namespace mirvane::qt::testing {

using namespace Qt::StringLiterals;
using enum Control;

class ProgramTest : public QObject {
    Q_OBJECT

    // A file's lines, each cut after its local date and time, once seen.
    static QStringList unstamped_lines(const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) return {"cannot read " + path};
        QStringList lines = QString(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
        static const QRegularExpression stamp(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} )");
        for (QString& line : lines) line = stamp.match(line).hasMatch() ? line.mid(24) : "unstamped: " + line;
        return lines;
    }

    // The lines that are the log pane's entries, without the header, the events and the sends.
    static QStringList entry_lines(const QString& path) {
        static const QRegularExpression other("^(# |event |sent )");
        QStringList lines = unstamped_lines(path);
        lines.removeIf([](const QString& line) { return other.match(line).hasMatch(); });
        return lines;
    }

    // The program with these options after two naming its lines; the variables name devices
    // that do not exist, and the options must win.
    static void start_with(ProgramRig& rig, const QStringList& options) {
        qputenv("MIRVANE_PORT1", "/nowhere/1"), qputenv("MIRVANE_PORT2", "/nowhere/2");
        QStringList lines{"--terminal-port", rig.terminal.path(), "--monitor-port", rig.monitor.path()};
        if (options.contains("--monitor-port")) lines.resize(2);  // an option is given once
        rig.start_program(lines + options);
    }

    static void wait_for_lines(const ProgramRig& rig, qsizetype count) {
        QVERIFY(QTest::qWaitFor([&] { return rig.form().text(Text2).find(u" : ") != 0 && rig.log().size() == count; }));
    }

private slots:
    // The defaults, and the choices no other test makes: options over variables are the
    // sessions' below, refusals (an empty option or variable among them) the command line test's.
    void devices_are_the_options_over_the_variables_over_the_defaults() {
        const std::tuple<const char*, std::optional<QString>, std::optional<QString>, QString> rows[] = {
            {"mirvane", {}, {}, "/dev/ttyS0 /dev/ttyS1"},
            {"mirvane --monitor-port=/dev/y", {}, "none", "/dev/ttyS0 /dev/y"},
            {"mirvane", {}, "none", "/dev/ttyS0 none"},
            {"mirvane --terminal-port /dev/x", "", {}, "/dev/x /dev/ttyS1"},  // an empty variable not used
        };
        for (const auto& [options, port1, port2, devices] : rows) {
            const auto prepared = prepare_session(QString(options).split(' '), {port1, port2});
            const auto* session = std::get_if<Session>(&prepared);
            QCOMPARE(session ? session->terminal_device + ' ' + session->monitor_device : "refused", devices);
        }
    }

    // A line lost while communication runs stops it as stop would: both lines closed, the
    // start button and the keypad back to stopped, one box; start then works on the device
    // plugged in again behind the same path. Each press puts exactly its codes on the
    // terminal line, every byte as it is, and nothing on the monitor line; exit puts the
    // receiver down before the window closes the terminal line alone, as its close box does,
    // and nothing that arrives afterwards is handled.
    void a_lost_line_stops_communication_start_opens_it_again_and_presses_send_their_codes() {
        ProgramRig rig;
        for (FarSide* lost : {&rig.terminal, &rig.monitor}) {
            rig.click(Command1);
            lost->unplug();
            QVERIFY(QTest::qWaitFor([&] { return !rig.boxes.seen.empty(); }));
            QCOMPARE(
                std::exchange(rig.boxes.seen, {})[0],
                (lost == &rig.terminal ? u"端末ポート（"_s : u"モニタポート（"_s) + lost->path() +
                    u"）との通信が"
                    u"途絶えたため、端末通信を終了しました：装置が応答しません（取り外されたか、相手側が閉じられました）"_s);
            QCOMPARE(
                std::tuple(rig.form().caption(Command1) == u"端末通信開始", rig.form().keypad_button(1)->isEnabled(),
                           rig.mirvane->MSComm1.is_open(), rig.mirvane->MSComm2.is_open()),
                std::tuple(true, false, false, false));
            lost->plug_in();
        }
        rig.click(Command1);
        QTest::keyClicks(rig.widget(Text3), u"5*"_s), QTest::keyClicks(rig.widget(Text6), u"000aff0d"_s);
        rig.click(Command4);
        for (const int key : {1, 10, 12}) rig.key(key);
        for (const Control button : {Command3, Command6, Command8, Command2}) rig.click(button);
        rig.monitor.write({0xA6});
        QTest::qWait(100);
        const Bytes codes{0xA7, 0xEB, 0x91, 0x9A, 0x9C, 0x95, 0x9B, 0x86, 0x00, 0x0A, 0xFF, 0x0D, 0xA6};
        QCOMPARE(rig.terminal.received(), codes);
        QCOMPARE(std::tuple(rig.form().isVisible(), rig.mirvane->MSComm1.is_open(), rig.mirvane->MSComm2.is_open()),
                 std::tuple(false, false, true));
        QCOMPARE(std::tuple(rig.monitor.received().size(), rig.log().size(), rig.boxes.seen.size()),
                 std::tuple(std::size_t(0), qsizetype(0), qsizetype(0)));
    }

    // With --reconnect, a device gone from behind its path is waited for: its box and the
    // stop come as without the option, nothing starts while the path is empty, and once a new
    // pseudo-terminal is behind it communication starts again by itself, its presses reaching
    // the new line. The same holds for the monitor line; the session log says each.
    void reconnect_starts_communication_again_when_a_device_is_back_behind_its_path() {
        ProgramRig rig;
        QTemporaryDir dir;
        const QString log = dir.filePath("session.log");
        rig.start_program({"--reconnect", "--log", log});
        rig.click(Command1);
        for (FarSide* lost : {&rig.terminal, &rig.monitor}) {
            lost->unplug();
            QVERIFY(QTest::qWaitFor([&] { return !rig.boxes.seen.empty(); }));
            QVERIFY(std::exchange(rig.boxes.seen, {})[0].endsWith(
                u"端末通信を終了しました："
                u"装置が応答しません（取り外されたか、相手側が閉じられました）"_s));
            QTest::qWait(1200);  // two checks and more find the path empty
            QCOMPARE(std::tuple(rig.form().caption(Command1) == u"端末通信開始", rig.mirvane->MSComm1.is_open()),
                     std::tuple(true, false));
            lost->plug_in();
            QVERIFY(QTest::qWaitFor([&] { return rig.form().caption(Command1) == u"端末通信終了"; }, 3000));
            QCOMPARE(std::tuple(rig.mirvane->MSComm1.is_open(), rig.mirvane->MSComm2.is_open(),
                                rig.form().keypad_button(1)->isEnabled()),
                     std::tuple(true, true, true));
        }
        rig.click(Command4);
        QCOMPARE(rig.terminal.wait_for(2), (Bytes{0xA7, 0xEB}));
        QCOMPARE(rig.boxes.seen, QStringList());
        const QString back = u"event reconnect: "_s + rig.terminal.path() + " and " + rig.monitor.path() +
                             " back; terminal communication started again";
        QCOMPARE(
            unstamped_lines(log).filter(u"event reconnect: "_s),
            QStringList({u"event reconnect: "_s + rig.terminal.path() + " lost; waiting for it to come back", back,
                         u"event reconnect: "_s + rig.monitor.path() + " lost; waiting for it to come back", back}));
    }

    // Errors counted on both lines give one box per error, one after another and never two
    // up together, and line states none, the monitor's raised while the terminal's fourth
    // box is up; bytes that arrive on both lines while the first box waits for the operator
    // are decoded into the panes, the log and the labels meanwhile (what they read is the
    // decoders' business).
    void an_error_storm_gives_one_box_after_another_while_both_lines_are_decoded() {
        ProgramRig rig;
        ScriptedLineState terminal(rig.mirvane->MSComm1), monitor(rig.mirvane->MSComm2);
        LineCounters &t = terminal.counters_now.emplace(), &m = monitor.counters_now.emplace();
        rig.click(Command1);
        int looks = 0;  // at the first box, 5 ms apart
        rig.boxes.may_confirm = [&] {
            if (looks++ == 0) rig.terminal.write({0xA5, 0xC5, 0x80}), rig.monitor.write({0xA7, 0x93, 0x12});
            if (rig.boxes.seen.size() == 4) m.overrun += 1, m.buf_overrun += 1, m.dsr += 1;
            return rig.boxes.seen.size() > 1 || rig.log().size() == 6 || looks > 600;
        };
        t.brk += 1, t.frame += 2, t.parity += 1, t.cts += 1;
        QVERIFY(QTest::qWaitFor([&] { return rig.boxes.seen.size() >= 6; }));
        QVERIFY(looks <= 600);  // the bytes did not wait for the box
        QCOMPARE(rig.boxes.most_up_at_once, 1);
        QCOMPARE(rig.boxes.seen,
                 QStringList({u"中断信号を受信"_s, u"フレーム エラー"_s, u"フレーム エラー"_s, u"パリティ エラー"_s,
                              u"ポート オーバーラン"_s, u"受信バッファ オーバーフロー"_s}));
        QCOMPARE(rig.log().filter(QRegularExpression(u"^__ __ __ __ (12|93|A7) : "_s)).size(), qsizetype(3));
        QCOMPARE(QString::fromStdU16String(rig.form().text(Text1)), u"80 C5 A5"_s);
        QCOMPARE(QString::fromStdU16String(rig.form().caption(Label1)), u"受信レベル：5"_s);
    }

    // The terminal line held (a handset holding its line, a stalled adapter) while the
    // operator presses on: each press lands in the wait of the one before. The first 32 go
    // out, in press order, once the line runs and Dial データ reads them in that order; past
    // 32 waiting, a press sends nothing.
    void thousands_of_presses_on_a_held_line_send_the_first_32_in_press_order() {
        ProgramRig rig;
        rig.click(Command1);
        rig.hold(true);
        std::u16string pressed;
        std::function<void()> press = [&] {
            if (pressed.size() == 3000) return rig.hold(false);
            QTimer::singleShot(pressed.size() < 4 ? 50 : 0, &rig.form(), press);
            pressed += u"1234567890*#"[pressed.size() % 12];
            rig.key(static_cast<int>(pressed.size() - 1) % 12 + 1);
        };
        press();
        Bytes first_32;
        for (int i = 0; i < 32; ++i) first_32.push_back(static_cast<std::uint8_t>(0x91 + i % 12));
        QCOMPARE(rig.terminal.wait_for(33, 1000), first_32);
        QCOMPARE(rig.widget<QPlainTextEdit>(Text4)->toPlainText(), QString::fromStdU16String(pressed.substr(0, 32)));
    }

    // The capture holds the reads and the operator's actions; mirvane --replay gives back the
    // session's log, a message open at the clear included. Both files are appended to, never
    // truncated: the capture's reads played on the lines into a fresh program with the same
    // log add the same entries, in the same order, after the first session's.
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
        rig.terminal.write({0xAD, 0x35});  // still open at the clear
        QVERIFY(QTest::qWaitFor([&] { return rig.form().text(Text1).starts_with(u"35 AD"); }));
        rig.click(Command7);
        QCOMPARE(unstamped_lines(log).value(4), u"event communication started"_s);
        QStringList logged = entry_lines(log);
        QVERIFY(QRegularExpression(u"^AD 35 : \\[[\\d:]{8}\\] 網情報 5 （未完）$"_s).match(logged.value(4)).hasMatch());
        logged.removeAt(4);
        QCOMPARE(logged, QStringList(pane.crbegin(), pane.crend()) << "---- 情報表示消去 ----");
        QCOMPARE(unstamped_lines(capture),
                 QStringList({"unstamped: # Mirvane capture: local date and time, then a read (line, bytes in hex), "
                              "an action (start, stop, clear) or a send (sent, code in hex)",
                              "start", "terminal C5 AD 31", "monitor 86", "terminal 32 33 34 80", "terminal AD 35",
                              "clear"}));

        // mirvane --replay: the same entries, at the same times, with no line opened.
        const QString replayed = files.filePath("replayed.log");
        QProcess mirvane;
        mirvane.start(MIRVANE_PROGRAM, {"--replay", capture, "--full-speed", "--log", replayed});
        QByteArray said;
        QVERIFY(QTest::qWaitFor([&] { return (said += mirvane.readAllStandardError()).contains("has been played"); }));
        mirvane.terminate(), mirvane.waitForFinished();
        QCOMPARE(entry_lines(replayed), entry_lines(log));

        QProcess far_side;
        far_side.start(MIRVANE_SIM_PROGRAM, {"--serve", "--full-speed", "--replay", capture});
        QVERIFY(QTest::qWaitFor([&] { return far_side.canReadLine() && far_side.bytesAvailable() > 40; }));
        const QStringList paths = QString(far_side.readAll()).remove(QRegularExpression("MIRVANE_PORT.=")).split('\n');
        rig.start_program({"--terminal-port", paths[0], "--monitor-port", paths[1], "--log", log});
        rig.click(Command1);
        wait_for_lines(rig, 4);
        const QStringList lines = entry_lines(log).replaceInStrings(QRegularExpression(R"(\[[\d:]{8}\] )"), "");
        QCOMPARE(lines.mid(6), lines.mid(0, 4));
        far_side.terminate(), far_side.waitForFinished();
    }

    // A bench with one adapter: the terminal line alone opens, and every button works. A log
    // that fails a write is named in one box, and the session goes on without it: the line
    // is read and captured while the box stands.
    void one_adapter_opens_the_terminal_line_alone_and_a_failing_log_is_named_in_one_box() {
        QTemporaryDir files;
        const QString capture = files.filePath("capture.txt");
        ProgramRig rig;
        start_with(rig, {"--monitor-port", "none", "--log", "/dev/full", "--capture", capture});
        int looks = 0;  // every 5 ms while the box is up
        bool read_while_up = false;
        rig.boxes.may_confirm = [&] {
            if (looks++ == 0) rig.terminal.write({0x80});
            read_while_up = unstamped_lines(capture).size() == 3;
            return read_while_up || looks > 400;
        };
        rig.click(Command1);  // the log's first line, the start, fails
        QCOMPARE(std::pair(rig.mirvane->MSComm1.is_open(), rig.mirvane->MSComm2.is_open()), std::pair(true, false));
        QVERIFY(QTest::qWaitFor([&] { return !rig.boxes.seen.empty(); }));
        QVERIFY(read_while_up);
        rig.click(Command6);
        QCOMPARE(rig.terminal.wait_for(1), Bytes{0x86});
        rig.terminal.write({0x80, 0x81});
        wait_for_lines(rig, 3);
        QCOMPARE(unstamped_lines(capture).mid(1), QStringList({"start", "terminal 80", "sent 86", "terminal 80 81"}));
        rig.click(Command1);
        QVERIFY(!rig.mirvane->MSComm1.is_open());
        QCOMPARE(rig.boxes.seen.size(), qsizetype(1));
        QCOMPARE(
            rig.boxes.seen[0],
            "記録ファイル（/dev/full）に書き込めないため、このファイルへの記録をやめました：No space left on device");
    }

    // A log read alone: each run opens its part with what it ran on and when, and every code
    // sent is there though no monitor line sees it.
    void a_run_s_log_opens_with_its_header_and_names_each_code_sent_without_a_monitor_line() {
        QTemporaryDir files;
        const QString log = files.filePath("session.log");
        ProgramRig rig;
        start_with(rig, {"--monitor-port", "none", "--log", log});
        rig.click(Command1);
        rig.click(Command4);
        QCOMPARE(rig.terminal.wait_for(2), (Bytes{0xA7, 0xEB}));
        QVERIFY(QTest::qWaitFor([&] { return unstamped_lines(log).size() == 7; }));
        const QStringList lines = unstamped_lines(log);
        const QString patterns[] = {
            "^# mirvane \\S+$",
            "^# terminal line " + QRegularExpression::escape(rig.terminal.path()) + " 600,E,8,1$",
            "^# monitor line none$",
            "^# started \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d UTC[+-]\\d\\d:\\d\\d$",
            "^event communication started$",
            "^sent A7 受話器を上げる$",
            "^sent EB 発番号表示$"};
        for (int i = 0; i < 7; ++i)
            QVERIFY2(QRegularExpression(patterns[i]).match(lines[i]).hasMatch(), qPrintable(lines[i]));
    }

    // A start that fails says why on standard error too, in one line with its English.
    void a_port_that_cannot_open_is_one_line_on_standard_error_with_its_english() {
        QTemporaryFile said;
        QVERIFY(said.open());
        std::fflush(stderr);
        const int saved = ::dup(2);
        ::dup2(said.handle(), 2);
        ProgramRig rig;
        rig.start_program({"--terminal-port", "/dev/nonexistent", "--monitor-port", "none"});
        rig.click(Command1);
        const bool boxed = QTest::qWaitFor([&] { return !rig.boxes.seen.empty(); });
        std::fflush(stderr);
        ::dup2(saved, 2), ::close(saved);
        QVERIFY(boxed);
        said.seek(0);  // the offset is shared with standard error's, at its end
        QCOMPARE(QString::fromUtf8(said.readAll()),
                 u"mirvane: 端末ポート（/dev/nonexistent）を開けません：装置が見つかりません (the terminal port "
                 u"(/dev/nonexistent) cannot be opened: device not found)\n"_s);
    }

    // A capture into a FIFO whose reader stops holds nothing up: the reads go on into the
    // panes and the log. Once the reader has gone, one box names the capture, and the log
    // goes on without it.
    void a_fifo_capture_whose_reader_stops_and_goes_is_named_in_one_box_while_the_log_goes_on() {
        QTemporaryDir files;
        const QString log = files.filePath("session.log"), fifo = files.filePath("capture.fifo");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
        QVERIFY(::fcntl(reader, F_SETPIPE_SZ, 4096) > 0);
        ProgramRig rig;
        start_with(rig, {"--log", log, "--capture", fifo});
        rig.click(Command1);
        for (int i = 0; i < 8; ++i) {  // each read some 6 KB in the capture: more than the pipe holds
            rig.terminal.write(Bytes(2000, 0x01));
            QTest::qWait(20);
        }
        rig.terminal.write({0x80});
        wait_for_lines(rig, 1);
        ::close(reader);
        QVERIFY(QTest::qWaitFor([&] { return !rig.boxes.seen.empty(); }));
        rig.terminal.write({0x81});
        wait_for_lines(rig, 2);
        QCOMPARE(rig.boxes.seen, QStringList("記録ファイル（" + fifo +
                                             "）に書き込めないため、このファイルへの記録をやめました：Broken pipe"));
        QCOMPARE(entry_lines(log).size(), 2);
        QCOMPARE(unstamped_lines(log).filter("event file failed: 記録ファイル（" + fifo).size(), qsizetype(1));
    }
};

}  // namespace mirvane::qt::testing

QTEST_MAIN(mirvane::qt::testing::ProgramTest)
#include "qt_program_test.moc"
