// End to end: the real window and serial binding, offscreen, against the simulated handset
// over pseudo-terminals. The operator's clicks go to the window's buttons; what the log
// pane and the labels show is read back from the widgets.

#include <QAbstractButton>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "log_order.h"
#include "qt/support/boxes.h"
#include "running_simulator.h"
#include "shell/qt/qt_program.h"
#include "shell/startup.h"

namespace mirvane::sim::testing {

namespace {

using namespace std::chrono_literals;

// Mirvane started as main() starts it, its lines those of a running simulator.
struct Session {
    explicit Session(RunningSimulator& sim) {
        qputenv("MIRVANE_PORT1", QByteArray::fromStdString(sim.terminal_path()));
        qputenv("MIRVANE_PORT2", QByteArray::fromStdString(sim.monitor_path()));
        mirvane = std::make_unique<qt::QtProgram>();
        Main(mirvane->program);
    }
    ~Session() {
        // Close the lines before the simulator goes, as the operator would.
        if (label("Command1") == QStringLiteral("端末通信終了")) click("Command1");
    }

    qt::Form1& form() { return mirvane->window; }
    void click(const char* name) {
        QTest::mouseClick(form().findChild<QAbstractButton*>(QString::fromLatin1(name)), Qt::LeftButton);
    }
    void key(int index) { QTest::mouseClick(form().keypad_button(index), Qt::LeftButton); }
    QString label(const char* name) {
        QWidget* widget = form().findChild<QWidget*>(QString::fromLatin1(name));
        if (auto* l = qobject_cast<QLabel*>(widget)) return l->text();
        return qobject_cast<QAbstractButton*>(widget)->text();
    }
    // The message log as the operator sees it, once the window has painted what was set.
    QString log() {
        const QPlainTextEdit* pane = form().findChild<QPlainTextEdit*>(QStringLiteral("Text2"));
        // A pane never painted shows in the comparison that follows.
        static_cast<void>(QTest::qWaitFor([&] {
            return pane->toPlainText().replace(u'\n', QStringLiteral("\r\n")).toStdU16String() ==
                   form().text(Control::Text2);
        }));
        return pane->toPlainText();
    }
    std::vector<LogEntry> entries() { return entries_oldest_first(log().toStdU16String()); }

    qt::testing::BoxConfirmer boxes;
    std::unique_ptr<qt::QtProgram> mirvane;
};

SimulatorSettings at_line_speed(const char* script) {
    SimulatorSettings settings = quick_settings();
    settings.full_speed = false;
    settings.script = std::get<Script>(parse_script(script, "test"));
    return settings;
}

}  // namespace

class EndToEnd : public QObject {
    Q_OBJECT

private slots:
    void a_call_from_the_window_logs_every_command_and_answer_whole_and_in_order() {
        RunningSimulator sim(at_line_speed("+0 C7\n"));
        Session mirvane(sim);
        mirvane.click("Command1");
        QTRY_COMPARE(mirvane.label("Label1"), QStringLiteral("受信レベル：7"));

        mirvane.click("Command4");
        QTRY_COMPARE(mirvane.label("Label2"), QStringLiteral("Tone　：　1"));
        mirvane.key(5);
        mirvane.key(3);
        QTRY_VERIFY(mirvane.log().contains(QStringLiteral("ダイヤル [3]")));
        mirvane.click("Command6");
        QTRY_VERIFY(mirvane.log().contains(QStringLiteral("AA __ __ __ __")));
        mirvane.click("Command4");
        QTRY_VERIFY(mirvane.log().contains(QStringLiteral("待受")));
        QCOMPARE(mirvane.label("Label2"), QStringLiteral("Tone ： 0"));
        QCOMPARE(mirvane.label("Command4"), QStringLiteral("受話器を上げる"));
        QTest::qWait(200);  // nothing further may arrive

        std::vector<LogEntry> entries = mirvane.entries();
        QVERIFY(!entries.empty());
        QCOMPARE(entries.front().code, std::u16string(u"C7 __ __ __ __"));
        entries.erase(entries.begin());
        const std::string verdict = judge(entries, outgoing_call_53());
        QVERIFY2(verdict.empty(), verdict.c_str());
        QVERIFY(mirvane.boxes.seen.empty());
    }

    void an_incoming_call_rings_shows_the_number_and_is_answered_from_the_window() {
        RunningSimulator sim(at_line_speed("+0 A5 22\n+0 AD 30 33 31 32\n"));
        Session mirvane(sim);
        mirvane.click("Command1");
        QTRY_VERIFY(mirvane.log().contains(QStringLiteral("網情報 0312")));
        QCOMPARE(mirvane.label("Label2"), QStringLiteral("Tone　：　2"));

        mirvane.click("Command4");
        QTRY_VERIFY(mirvane.log().contains(QStringLiteral("通話中表示ON")));
        QCOMPARE(mirvane.label("Label2"), QStringLiteral("Tone ： 0"));
        QTest::qWait(100);

        CallLog call;
        call.monitor = {{u"__ __ __ __ A7", u"受話器を上げる"}, {u"__ __ __ __ EB", u"発番号表示"}};
        call.status = {{u"A5 __ __ __ __", u"着信表示ON"},
                       {u"22 __ __ __ __", u"トーン種別 [2:着信音]"},
                       {u"AD 30 33 31 32", u"網情報 0312"},
                       {u"A4 __ __ __ __", u"着信表示OFF"},
                       {u"20 __ __ __ __", u"トーン種別 [0:トーンOFF]"},
                       {u"A7 __ __ __ __", u"通話中表示ON"}};
        call.tapped_before = {{0, 3}};
        const std::string verdict = judge(mirvane.entries(), call);
        QVERIFY2(verdict.empty(), verdict.c_str());
        QVERIFY(mirvane.boxes.seen.empty());
    }

    void the_level_label_follows_the_handsets_drifting_level() {
        SimulatorSettings settings = quick_settings();
        settings.levels = true;
        settings.seed = 2024;
        settings.first_level_after = 10ms;
        settings.level_every_min = 20ms;
        settings.level_every_max = 40ms;
        RunningSimulator sim(std::move(settings));
        Session mirvane(sim);
        mirvane.click("Command1");
        QTRY_VERIFY(mirvane.log().count(QStringLiteral("受信レベル [")) >= 6);
        sim.stop();
        QTest::qWait(200);  // the last report reaches the window

        const int level = sim.handset().level();
        QCOMPARE(mirvane.label("Label1"), QStringLiteral("受信レベル：%1").arg(level));
        const std::vector<LogEntry> entries = mirvane.entries();
        QCOMPARE(QString::fromStdU16String(entries.back().meaning),
                 QStringLiteral("受信レベル [%1]").arg(level));
        // Every report was a change, so each one was logged.
        QCOMPARE(static_cast<long>(entries.size()), sim.traffic().spoken);
    }
};

}  // namespace mirvane::sim::testing

QTEST_MAIN(mirvane::sim::testing::EndToEnd)
#include "end_to_end_test.moc"
