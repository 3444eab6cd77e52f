// The whole program on Qt, its terminal line and monitor line on real pseudo-terminals
// driven from their far sides as the terminal and the monitor tap would drive them.

#include <QPushButton>
#include <QRegularExpression>

#include "shell/qt/qt_program.h"
#include "shell/startup.h"
#include "support/boxes.h"
#include "support/far_side.h"

namespace mirvane::qt::testing {

using namespace Qt::StringLiterals;
using enum Control;

// The program started as main() starts it, its two lines on pseudo-terminals.
struct Rig {
    Rig() { Main(mirvane.program); }
    void click(Control control) { QTest::mouseClick(form.control_widget(control), Qt::LeftButton); }
    // Whether communication runs, as the start button, the keypad and both lines all say.
    bool running(bool yes) const {
        return (form.caption(Command1) == u"端末通信終了") == yes && mirvane.MSComm1.is_open() == yes &&
               mirvane.MSComm2.is_open() == yes && form.keypad_button(1)->isEnabled() == yes;
    }
    // The log, newest first, without its time stamps.
    QStringList log() const {
        return QString::fromStdU16String(form.text(Text2))
            .remove(QRegularExpression(uR"(\[\d\d:\d\d:\d\d\] )"_s)).split(u"\r\n"_s, Qt::SkipEmptyParts);
    }

    FarSide terminal{1}, monitor{2};
    BoxConfirmer boxes;
    QtProgram mirvane;
    Form1& form = mirvane.window;
};

class ProgramTest : public QObject {
    Q_OBJECT

private slots:
    // Stop closes both lines and start opens them again. A line lost while communication
    // runs stops it as stop would, with one box; start then works on the device plugged in
    // again behind the same path. Each press puts exactly its codes on the terminal line and
    // nothing on the monitor line; exit puts the receiver down before the line closes, and
    // nothing that arrives afterwards is handled.
    void stop_or_a_lost_line_closes_both_lines_start_opens_them_and_presses_send_their_codes() {
        Rig rig;
        rig.click(Command1);
        rig.click(Command1);
        QVERIFY(rig.running(false));
        for (FarSide* lost : {&rig.terminal, &rig.monitor}) {
            rig.click(Command1);
            lost->unplug();
            QVERIFY(QTest::qWaitFor([&] { return !rig.boxes.seen.empty(); }));
            QCOMPARE(std::exchange(rig.boxes.seen, {})[0].text,
                     (lost == &rig.terminal ? u"端末ポート（"_s : u"モニタポート（"_s) + lost->path() + u"）との通信が"
                     u"途絶えたため、端末通信を終了しました：装置が応答しません（取り外されたか、相手側が閉じられました）"_s);
            QVERIFY(rig.running(false));
            lost->plug_in();
        }
        rig.click(Command1);
        QTest::keyClicks(rig.form.control_widget(Text3), u"5*"_s);
        QTest::keyClicks(rig.form.control_widget(Text6), u"00ff"_s);
        rig.click(Command4);
        for (const int key : {1, 10, 12}) QTest::mouseClick(rig.form.keypad_button(key), Qt::LeftButton);
        for (const Control button : {Command3, Command6, Command8, Command2}) rig.click(button);
        rig.monitor.write({0xA6});
        QTest::qWait(100);
        QCOMPARE(rig.terminal.received(), (Bytes{0xA7, 0xEB, 0x91, 0x9A, 0x9C, 0x95, 0x9B, 0x86, 0x00, 0xFF, 0xA6}));
        QVERIFY(!rig.form.isVisible() && !rig.mirvane.MSComm1.is_open() && rig.log().isEmpty());
        QVERIFY(rig.monitor.received().empty() && rig.boxes.seen.empty());
    }

    // Errors counted on both lines give one box per error, one after another and never two
    // up together, and line states none, the monitor's raised while the terminal's fourth
    // box is up; bytes that arrive on both lines while the first box waits for the operator
    // are decoded into the panes and labels meanwhile.
    void an_error_storm_gives_one_box_after_another_while_both_lines_are_decoded() {
        Rig rig;
        ScriptedLineState terminal(rig.mirvane.MSComm1), monitor(rig.mirvane.MSComm2);
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
        QVERIFY2(looks <= 600, "the bytes waited for the box");
        QCOMPARE(rig.boxes.most_up_at_once, 1);
        QStringList shown;
        for (const SeenBox& box : rig.boxes.seen) shown << box.text;
        QCOMPARE(shown, QStringList({u"中断信号を受信"_s, u"フレーム エラー"_s, u"フレーム エラー"_s,
                                     u"パリティ エラー"_s, u"ポート オーバーラン"_s, u"受信バッファ オーバーフロー"_s}));
        QCOMPARE(rig.log().filter(QRegularExpression(u"^__"_s)), QStringList({u"__ __ __ __ 12 : *"_s,
                     u"__ __ __ __ 93 : Dial [3]"_s, u"__ __ __ __ A7 : 受話器を上げる"_s}));
        QCOMPARE(rig.log().filter(u" __ __ __ __ :"_s), QStringList({u"80 __ __ __ __ : 圏外表示OFF"_s,
                     u"C5 __ __ __ __ : 受信レベル [5]"_s, u"A5 __ __ __ __ : 着信表示ON"_s}));
        QVERIFY(rig.form.text(Text1) == u"80 C5 A5" && rig.form.caption(Label1) == u"受信レベル：5");
    }
};

}  // namespace mirvane::qt::testing

QTEST_MAIN(mirvane::qt::testing::ProgramTest)
#include "qt_program_test.moc"
