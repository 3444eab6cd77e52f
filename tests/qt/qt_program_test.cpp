// The whole program on Qt, with real pseudo-terminals as the terminal line and the monitor
// line, driven from their far sides as the terminal and the tap would drive them.

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <ctime>
#include <memory>

#include "shell/qt/qt_program.h"
#include "shell/startup.h"
#include "support/boxes.h"
#include "support/far_side.h"
#include "support/scripted_line_state.h"

namespace mirvane::qt::testing {

namespace {

double cpu_seconds() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

using Bytes = std::vector<std::uint8_t>;

// The program started as main() starts it, its two lines pointed at pseudo-terminals.
struct Rig {
    explicit Rig(bool keep_terminal_device_end = false)
        : terminal(dir.filePath("terminal"), keep_terminal_device_end),
          monitor(dir.filePath("monitor")) {
        qputenv("MIRVANE_PORT1", terminal.path().toLocal8Bit());
        qputenv("MIRVANE_PORT2", monitor.path().toLocal8Bit());
        mirvane = std::make_unique<QtProgram>();
        Main(mirvane->program);
    }

    QTemporaryDir dir;
    FarSide terminal;
    FarSide monitor;
    BoxConfirmer boxes;
    std::unique_ptr<QtProgram> mirvane;

    Form1& form() { return mirvane->window; }
    QPushButton* button(const char* name) {
        return form().findChild<QPushButton*>(QString::fromLatin1(name));
    }
    void click(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    void key(int index) { QTest::mouseClick(form().keypad_button(index), Qt::LeftButton); }
    void type(const char* name, const QString& text) {
        QTest::keyClicks(form().findChild<QLineEdit*>(QString::fromLatin1(name)), text);
    }
    QString caption(const char* name) {
        QWidget* widget = form().findChild<QWidget*>(QString::fromLatin1(name));
        if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
        return qobject_cast<QAbstractButton*>(widget)->text();
    }
    // What the operator sees in a pane, once the window has painted what was set in it.
    QStringList pane_lines(const char* name) { return pane(name).split(u'\n'); }
    QString pane(const char* name) {
        const QPlainTextEdit* widget = form().findChild<QPlainTextEdit*>(QString::fromLatin1(name));
        const Control control = QByteArray(name) == "Text1" ? Control::Text1
                                : QByteArray(name) == "Text2" ? Control::Text2
                                                              : Control::Text4;
        // A pane never painted shows in the comparison that follows.
        static_cast<void>(QTest::qWaitFor([&] {
            return widget->toPlainText().replace(u'\n', QStringLiteral("\r\n")).toStdU16String() ==
                   form().text(control);
        }));
        return widget->toPlainText();
    }
    bool running() { return caption("Command1") == QStringLiteral("端末通信終了"); }
    QString stamp() { return QString::fromStdU16String(form().time_of_day()); }
};

// A log line with its time stamp cut out, so that it compares whatever the clock says.
QString unstamped(QString line) {
    const qsizetype open = line.indexOf(u'[');
    const qsizetype close = line.indexOf(QStringLiteral("] "));
    if (open >= 0 && close > open) line.replace(open, close - open + 2, QStringLiteral("[hh:mm:ss] "));
    return line;
}

QStringList unstamped(const QStringList& lines) {
    QStringList out;
    for (const QString& line : lines) out << unstamped(line);
    return out;
}

}  // namespace

class ProgramTest : public QObject {
    Q_OBJECT

private slots:
    void start_opens_both_devices_stop_closes_them_and_start_opens_them_again() {
        Rig rig;
        QVERIFY(!rig.terminal.device_open());
        QVERIFY(!rig.monitor.device_open());
        for (int round = 0; round < 2; ++round) {
            rig.click("Command1");
            QVERIFY(rig.terminal.wait_device_open(true));
            QVERIFY(rig.monitor.wait_device_open(true));
            QVERIFY(rig.running());
            QVERIFY(rig.form().keypad_button(1)->isEnabled());
            QVERIFY(rig.button("Command4")->isEnabled());

            rig.click("Command1");
            QVERIFY(rig.terminal.wait_device_open(false));
            QVERIFY(rig.monitor.wait_device_open(false));
            QCOMPARE(rig.caption("Command1"), QStringLiteral("端末通信開始"));
            QVERIFY(!rig.form().keypad_button(1)->isEnabled());
        }
        QVERIFY(rig.boxes.seen.empty());
        QVERIFY(rig.terminal.received().empty());
        QVERIFY(rig.monitor.received().empty());
    }

    void status_bytes_from_the_terminal_appear_decoded_in_the_panes_and_labels() {
        Rig rig;
        rig.click("Command1");
        rig.terminal.write({0xA5, 0xC5, 0x80});
        QVERIFY(QTest::qWaitFor([&] { return rig.pane("Text1") == QStringLiteral("80 C5 A5"); }));
        QCOMPARE(unstamped(rig.pane_lines("Text2")),
                 QStringList({"80 __ __ __ __ : [hh:mm:ss] 圏外表示OFF",
                              "C5 __ __ __ __ : [hh:mm:ss] 受信レベル [5]",
                              "A5 __ __ __ __ : [hh:mm:ss] 着信表示ON"}));
        QCOMPARE(rig.caption("Label1"), QStringLiteral("受信レベル：5"));

        // A message split across two deliveries is collected whole.
        rig.terminal.write({0xAD, 0x31});
        QTest::qWait(30);
        rig.terminal.write({0x32, 0x33, 0x34});
        QVERIFY(QTest::qWaitFor([&] { return rig.pane("Text1").startsWith(QStringLiteral("34 33 32 31 AD")); }));
        QCOMPARE(unstamped(rig.pane_lines("Text2").first()), QStringLiteral("AD 31 32 33 34 : [hh:mm:ss] 網情報 1234"));
    }

    void a_burst_fills_the_receive_pane_without_a_byte_lost_or_reordered() {
        Rig rig;
        rig.click("Command1");
        Bytes burst;
        for (int i = 0; i < 500; ++i) burst.push_back(static_cast<std::uint8_t>(i % 7 == 0 ? 0x10 : i % 0x60));
        rig.terminal.write(burst);
        QStringList newest_first;
        for (std::size_t i = burst.size() - 200; i < burst.size(); ++i) {
            newest_first.prepend(QStringLiteral("%1").arg(burst[i], 2, 16, QLatin1Char('0')).toUpper());
        }
        const QString expected = newest_first.join(u' ');
        QVERIFY(QTest::qWaitFor([&] { return rig.pane("Text1") == expected; }));
        QCOMPARE(rig.mirvane->state.rx_pos, std::int16_t(500 % 200));
    }

    void presses_put_exactly_their_codes_on_the_terminal_line_in_order() {
        Rig rig;
        rig.click("Command1");
        rig.click("Command4");  // receiver up
        QCOMPARE(rig.caption("Command4"), QStringLiteral("受話器をおく"));
        rig.key(1);
        rig.key(10);
        rig.key(12);
        rig.type("Text3", QStringLiteral("5*"));
        rig.click("Command3");
        rig.click("Command6");
        rig.type("Text6", QStringLiteral("00ff"));
        rig.click("Command8");
        rig.click("Command4");  // receiver down
        const Bytes expected{0xA7, 0xEB, 0x91, 0x9A, 0x9C, 0x95, 0x9B, 0x86, 0x00, 0xFF, 0xA6};
        QCOMPARE(rig.terminal.wait_for(expected.size()), expected);
        QTest::qWait(50);
        QCOMPARE(rig.terminal.received(), expected);  // nothing added
        QCOMPARE(rig.form().text(Control::Text4), u"10#5*");
        QVERIFY(rig.monitor.received().empty());  // the monitor line is never written
    }

    void codes_seen_on_the_monitor_line_enter_the_log_with_their_names() {
        Rig rig;
        rig.click("Command1");
        rig.monitor.write({0xA7, 0xEB, 0x93, 0x86, 0x12});
        QVERIFY(QTest::qWaitFor([&] { return rig.pane_lines("Text2").size() == 5; }));
        QCOMPARE(unstamped(rig.pane_lines("Text2")),
                 QStringList({"__ __ __ __ 12 : [hh:mm:ss] *",
                              "__ __ __ __ 86 : [hh:mm:ss] ダイヤル完了",
                              "__ __ __ __ 93 : [hh:mm:ss] Dial [3]",
                              "__ __ __ __ EB : [hh:mm:ss] 発番号表示",
                              "__ __ __ __ A7 : [hh:mm:ss] 受話器を上げる"}));
        QCOMPARE(rig.pane("Text1"), QString());  // the receive ring is the terminal's alone
    }

    // The wait of a send lasts until the byte has left: the far end holds the line, the
    // window keeps working meanwhile, and nothing spins.
    void a_send_waits_for_a_held_line_without_spinning_and_the_window_stays_live() {
        Rig rig(true);
        rig.click("Command1");
        QCOMPARE(::tcflow(rig.terminal.device_end(), TCOOFF), 0);
        double cpu_share = -1;
        bool decoded_meanwhile = false;
        QTimer::singleShot(50, [&] {
            rig.terminal.write({0xA5});  // the terminal talks while our byte waits
            const double cpu_before = cpu_seconds();
            QElapsedTimer wall;
            wall.start();
            QTest::qWait(300);
            cpu_share = (cpu_seconds() - cpu_before) * 1000.0 / double(wall.elapsed());
            decoded_meanwhile = rig.form().text(Control::Text1) == u"A5";
            QVERIFY(rig.terminal.received().empty());
            QVERIFY(rig.mirvane->MSComm1.out_buffer_count() > 0);
            ::tcflow(rig.terminal.device_end(), TCOON);
        });
        rig.click("Command4");  // returns only once both codes are out
        QVERIFY(decoded_meanwhile);
        QVERIFY2(cpu_share >= 0 && cpu_share < 0.5, qPrintable(QString::number(cpu_share)));
        QCOMPARE(rig.terminal.wait_for(2), (Bytes{0xA7, 0xEB}));
    }

    void a_device_that_cannot_be_opened_is_reported_and_nothing_starts_data() {
        QTest::addColumn<bool>("terminal_missing");
        QTest::newRow("terminal") << true;
        QTest::newRow("monitor") << false;
    }
    void a_device_that_cannot_be_opened_is_reported_and_nothing_starts() {
        QFETCH(bool, terminal_missing);
        Rig rig;
        FarSide& missing = terminal_missing ? rig.terminal : rig.monitor;
        missing.unplug();
        QFile::remove(missing.path());
        rig.click("Command1");
        QVERIFY(QTest::qWaitFor([&] { return !rig.boxes.seen.empty(); }));
        const QString port = terminal_missing ? QStringLiteral("端末ポート") : QStringLiteral("モニタポート");
        QCOMPARE(rig.boxes.seen[0].text,
                 port + QStringLiteral("（") + missing.path() + QStringLiteral("）を開けません：装置が見つかりません"));
        QCOMPARE(rig.caption("Command1"), QStringLiteral("端末通信開始"));
        QVERIFY(!rig.form().keypad_button(1)->isEnabled());
        QVERIFY(!rig.terminal.device_open());
        QVERIFY(!rig.monitor.device_open());
        QVERIFY(!rig.mirvane->MSComm1.is_open());
        QVERIFY(!rig.mirvane->MSComm2.is_open());

        // Plugged in: the next press starts.
        missing.plug_in();
        rig.click("Command1");
        QVERIFY(rig.running());
        QCOMPARE(rig.boxes.seen.size(), std::size_t(1));
    }

    void a_device_in_use_elsewhere_is_reported_busy() {
        Rig rig;
        QSerialPort other(rig.terminal.path());
        QVERIFY(other.open(QIODevice::ReadWrite));
        rig.click("Command1");
        QVERIFY(QTest::qWaitFor([&] { return !rig.boxes.seen.empty(); }));
        QCOMPARE(rig.boxes.seen[0].text,
                 QStringLiteral("端末ポート（") + rig.terminal.path() +
                     QStringLiteral("）を開けません：ほかのプログラムが使用中か、ロックされています"));
        QVERIFY(!rig.running());
    }

    // A device that goes away while communication runs: one box, communication stopped as
    // the stop button stops it, no spinning, and a fresh start once a device is back.
    void a_lost_device_stops_communication_once_and_start_works_again_data() {
        QTest::addColumn<bool>("terminal_lost");
        QTest::newRow("terminal") << true;
        QTest::newRow("monitor") << false;
    }
    void a_lost_device_stops_communication_once_and_start_works_again() {
        QFETCH(bool, terminal_lost);
        Rig rig;
        FarSide& lost = terminal_lost ? rig.terminal : rig.monitor;
        FarSide& other = terminal_lost ? rig.monitor : rig.terminal;
        rig.click("Command1");
        rig.click("Command4");
        QCOMPARE(rig.terminal.wait_for(2), (Bytes{0xA7, 0xEB}));

        lost.unplug();
        QVERIFY(QTest::qWaitFor([&] { return !rig.boxes.seen.empty(); }));
        const QString port = terminal_lost ? QStringLiteral("端末ポート") : QStringLiteral("モニタポート");
        QCOMPARE(rig.boxes.seen[0].text,
                 port + QStringLiteral("（") + lost.path() +
                     QStringLiteral("）との通信が途絶えたため、端末通信を終了しました：装置が応答しません（取り外されたか、相手側が閉じられました）"));
        QCOMPARE(rig.caption("Command1"), QStringLiteral("端末通信開始"));
        QVERIFY(!rig.button("Command4")->isEnabled());
        QVERIFY(!rig.form().keypad_button(1)->isEnabled());
        QVERIFY(!rig.mirvane->MSComm1.is_open());
        QVERIFY(!rig.mirvane->MSComm2.is_open());
        QVERIFY(other.wait_device_open(false));

        const double cpu_before = cpu_seconds();
        QElapsedTimer wall;
        wall.start();
        QTest::qWait(300);
        const double cpu_share = (cpu_seconds() - cpu_before) * 1000.0 / double(wall.elapsed());
        QVERIFY2(cpu_share < 0.3, qPrintable(QString::number(cpu_share)));
        QCOMPARE(rig.boxes.seen.size(), std::size_t(1));

        lost.plug_in();
        rig.click("Command1");
        QVERIFY(rig.running());
        QVERIFY(rig.terminal.wait_device_open(true));
        QVERIFY(rig.monitor.wait_device_open(true));
        // The receiver stayed up: the first press puts it down.
        rig.click("Command4");
        QCOMPARE(rig.terminal.wait_for(terminal_lost ? 1 : 3).back(), std::uint8_t(0xA6));
        rig.terminal.write({0xA5});
        QVERIFY(QTest::qWaitFor([&] { return rig.pane("Text1") == QStringLiteral("A5"); }));
        QCOMPARE(rig.boxes.seen.size(), std::size_t(1));
    }

    // Errors counted on both lines at once: one box per error event, one after another and
    // never two up together, line states without a box, each line's errors in the order
    // its driver reports them; and while the first box waits for the operator, bytes on
    // both lines are decoded into the panes, none lost, none reordered.
    void an_error_storm_gives_one_box_after_another_while_both_lines_keep_being_decoded() {
        Rig rig;
        auto terminal_driver = std::make_shared<ScriptedLineState>();
        auto monitor_driver = std::make_shared<ScriptedLineState>();
        terminal_driver->counters_now = LineCounters{};
        monitor_driver->counters_now = LineCounters{};
        rig.mirvane->MSComm1.set_line_state_reader(terminal_driver);
        rig.mirvane->MSComm2.set_line_state_reader(monitor_driver);
        rig.click("Command1");
        QVERIFY(rig.running());

        bool wrote = false;
        bool decoded_under_first_box = false;
        QElapsedTimer first_box_up;
        rig.boxes.may_confirm = [&] {
            if (rig.boxes.seen.size() > 1) return true;
            if (!wrote) {
                wrote = true;
                first_box_up.start();
                rig.terminal.write({0xA5, 0xC5});
                rig.monitor.write({0xA7, 0x93});
                rig.terminal.write({0x80});
                return false;
            }
            decoded_under_first_box = rig.pane("Text1") == QStringLiteral("80 C5 A5") &&
                                      rig.pane_lines("Text2").size() == 5;
            // Held no longer than this: a binding that holds the bytes back fails below
            // instead of waiting for the test's time limit.
            return decoded_under_first_box || first_box_up.elapsed() > 3000;
        };

        LineCounters& terminal = *terminal_driver->counters_now;
        LineCounters& monitor = *monitor_driver->counters_now;
        terminal.brk += 1;
        terminal.frame += 2;
        terminal.parity += 1;
        terminal.cts += 1;
        monitor.overrun += 1;
        monitor.buf_overrun += 1;
        monitor.dsr += 1;
        QVERIFY(QTest::qWaitFor([&] { return rig.boxes.seen.size() >= 6; }));
        QTest::qWait(450);

        QVERIFY(decoded_under_first_box);
        QCOMPARE(rig.boxes.most_up_at_once, 1);
        QCOMPARE(rig.boxes.seen.size(), std::size_t(6));
        const QStringList terminal_errors{QStringLiteral("中断信号を受信"), QStringLiteral("フレーム エラー"),
                                          QStringLiteral("フレーム エラー"), QStringLiteral("パリティ エラー")};
        const QStringList monitor_errors{QStringLiteral("ポート オーバーラン"),
                                         QStringLiteral("受信バッファ オーバーフロー")};
        QStringList from_terminal;
        QStringList from_monitor;
        for (const SeenBox& box : rig.boxes.seen) {
            QCOMPARE(box.icon, QMessageBox::Critical);
            (terminal_errors.contains(box.text) ? from_terminal : from_monitor) << box.text;
        }
        QCOMPARE(from_terminal, terminal_errors);
        QCOMPARE(from_monitor, monitor_errors);

        // The storm changed nothing else: the lines are open and decode on.
        QVERIFY(rig.running());
        rig.terminal.write({0xC3});
        rig.monitor.write({0xA6});
        QVERIFY(QTest::qWaitFor([&] { return rig.pane_lines("Text2").size() == 7; }));
        QCOMPARE(rig.pane("Text1"), QStringLiteral("C3 80 C5 A5"));
        // Each line's entries in its own order; how the two lines interleave is the
        // arrival's business.
        QStringList status_entries;
        QStringList monitor_entries;
        for (const QString& line : unstamped(rig.pane_lines("Text2"))) {
            (line.startsWith(QStringLiteral("__ ")) ? monitor_entries : status_entries) << line;
        }
        QCOMPARE(status_entries, QStringList({"C3 __ __ __ __ : [hh:mm:ss] 受信レベル [3]",
                                              "80 __ __ __ __ : [hh:mm:ss] 圏外表示OFF",
                                              "C5 __ __ __ __ : [hh:mm:ss] 受信レベル [5]",
                                              "A5 __ __ __ __ : [hh:mm:ss] 着信表示ON"}));
        QCOMPARE(monitor_entries, QStringList({"__ __ __ __ A6 : [hh:mm:ss] 受話器をおく",
                                               "__ __ __ __ 93 : [hh:mm:ss] Dial [3]",
                                               "__ __ __ __ A7 : [hh:mm:ss] 受話器を上げる"}));
        QCOMPARE(rig.boxes.seen.size(), std::size_t(6));
    }

    void exit_with_the_receiver_up_puts_it_down_before_the_line_closes() {
        Rig rig;
        rig.click("Command1");
        rig.click("Command4");
        QCOMPARE(rig.terminal.wait_for(2), (Bytes{0xA7, 0xEB}));
        rig.click("Command2");
        QVERIFY(rig.mirvane->state.ended);
        QVERIFY(!rig.form().isVisible());
        QVERIFY(!rig.mirvane->MSComm1.is_open());
        QCOMPARE(rig.terminal.wait_for(3), (Bytes{0xA7, 0xEB, 0xA6}));
        QVERIFY(rig.terminal.wait_device_open(false));
    }
};

}  // namespace mirvane::qt::testing

QTEST_MAIN(mirvane::qt::testing::ProgramTest)
#include "qt_program_test.moc"
