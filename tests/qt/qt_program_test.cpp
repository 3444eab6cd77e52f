// The whole program on Qt, its terminal line and monitor line on real pseudo-terminals
// driven from their far sides as the terminal and the monitor tap would drive them.

#include <QPlainTextEdit>

#include "support/program_rig.h"

namespace mirvane::qt::testing {

using namespace Qt::StringLiterals;
using enum Control;

class ProgramTest : public QObject {
    Q_OBJECT

private slots:
    // Stop closes both lines and start opens them again. A line lost while communication
    // runs stops it as stop would, with one box; start then works on the device plugged in
    // again behind the same path. Each press puts exactly its codes on the terminal line,
    // every byte as it is, and nothing on the monitor line; exit puts the receiver down
    // before the window closes the terminal line alone, as its close box does, and nothing
    // that arrives afterwards is handled.
    void stop_or_a_lost_line_closes_both_lines_start_opens_them_and_presses_send_their_codes() {
        ProgramRig rig;
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
        QTest::keyClicks(rig.widget(Text3), u"5*"_s), QTest::keyClicks(rig.widget(Text6), u"000aff0d"_s);
        rig.click(Command4);
        for (const int key : {1, 10, 12}) rig.key(key);
        for (const Control button : {Command3, Command6, Command8, Command2}) rig.click(button);
        rig.monitor.write({0xA6});
        QTest::qWait(100);
        const Bytes codes{0xA7, 0xEB, 0x91, 0x9A, 0x9C, 0x95, 0x9B, 0x86, 0x00, 0x0A, 0xFF, 0x0D, 0xA6};
        QCOMPARE(rig.terminal.received(), codes);
        QVERIFY(!rig.form().isVisible() && !rig.mirvane->MSComm1.is_open() && rig.mirvane->MSComm2.is_open());
        QVERIFY(rig.monitor.received().empty() && rig.log().isEmpty() && rig.boxes.seen.empty());
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
        QVERIFY(looks <= 600 && rig.boxes.most_up_at_once == 1);  // the bytes did not wait for the box
        QStringList shown;
        for (const SeenBox& box : rig.boxes.seen) shown << box.text;
        QCOMPARE(shown, QStringList({u"中断信号を受信"_s, u"フレーム エラー"_s, u"フレーム エラー"_s,
                                     u"パリティ エラー"_s, u"ポート オーバーラン"_s, u"受信バッファ オーバーフロー"_s}));
        QVERIFY(rig.log().filter(QRegularExpression(u"^__ __ __ __ (12|93|A7) : "_s)).size() == 3 &&
                rig.form().text(Text1) == u"80 C5 A5" && rig.form().caption(Label1) == u"受信レベル：5");
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

    // Last: an exit ends the test's later event loops as it ends the program's. With the
    // receiver up on a held line it waits a second at most for its hang-up byte, and a second
    // exit meanwhile sends nothing more.
    void an_exit_on_a_held_line_ends_within_its_wait_and_a_second_exit_sends_nothing() {
        for (const bool released_during_wait : {false, true}) {
            ProgramRig rig;
            rig.click(Command1);
            rig.click(Command4);  // returns once A7 and EB have left
            rig.hold(true);
            QTimer::singleShot(200, &rig.form(), [&] { rig.click(Command2); });
            if (released_during_wait) QTimer::singleShot(400, &rig.form(), [&] { rig.hold(false); });
            QTimer::singleShot(4000, &rig.form(), [&] { rig.hold(false); });  // for a wait without end
            const std::chrono::milliseconds started = rig.form().clock();
            rig.click(Command2);
            QVERIFY(rig.form().clock() - started < std::chrono::milliseconds(2500) && rig.mirvane->state.ended);
            rig.hold(false);
            QCOMPARE(rig.terminal.wait_for(4, 300), released_during_wait ? Bytes({0xA7, 0xEB, 0xA6}) : Bytes({0xA7, 0xEB}));
        }
    }
};

}  // namespace mirvane::qt::testing

QTEST_MAIN(mirvane::qt::testing::ProgramTest)
#include "qt_program_test.moc"
