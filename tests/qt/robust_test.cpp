// What the operator must not be able to break: a held terminal line under presses and the
// exit, a device that cannot be opened, long input, a 0xFF byte under error marking, and
// at the end a soak of random operation.

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <optional>
#include <random>

#include "shell/qt/qt_program.h"
#include "shell/startup.h"
#include "support/boxes.h"
#include "support/far_side.h"

namespace mirvane::qt::testing {

using Bytes = std::vector<std::uint8_t>;

// The real program on two pseudo-terminals whose far sides the test holds: it writes to
// either line, holds the terminal line's output as flow control would, and starts a fresh
// program on the same lines after an exit.
struct ProgramOnPtys {
    FarSide terminal{1};
    FarSide monitor{2};
    BoxConfirmer boxes;
    std::unique_ptr<QtProgram> mirvane;

    ProgramOnPtys() { start_program(); }
    void start_program() { mirvane.reset(), Main((mirvane = std::make_unique<QtProgram>())->program); }
    Form1& form() { return mirvane->window; }
    void click(const char* name) { QTest::mouseClick(form().findChild<QPushButton*>(name), Qt::LeftButton); }
    void key(int index) { QTest::mouseClick(form().keypad_button(index), Qt::LeftButton); }
    void hold(bool held) { QCOMPARE(::tcflow(terminal.device_end, held ? TCOOFF : TCOON), 0); }
};

// Random operation of the real program on ptys for MIRVANE_SOAK_SECONDS: every
// button, start and stop, exits each followed by a fresh program, number and hex texts (the
// hex bytes below 0x90, so that no dial code goes out from them), a held terminal line, far
// sides closed and opened again, bytes on both lines. Afterwards:
// - no crash, and no hang: once the line flows, every waiting send returns within a second;
// - Dial データ is the dial codes that went out on the terminal line in that program's life,
//   in order, less digits whose send was cut off by the end of its session (a stop, a lost
//   line, the exit): a subsequence of them, at most 32 fewer per ended session;
// - nothing was written to a closed port.
struct Soak {
    const qint64 soak_ms = 1000 * qEnvironmentVariableIntValue("MIRVANE_SOAK_SECONDS");
    const quint32 seed = qEnvironmentVariableIsSet("MIRVANE_SOAK_SEED") ? qEnvironmentVariableIntValue("MIRVANE_SOAK_SEED")
                                                                        : QRandomGenerator::global()->generate();
    std::mt19937 random{seed};
    ProgramOnPtys rig;
    QElapsedTimer soak, since_release;
    int hangs = 0, lives = 0;
    bool settling = false, held = false, plugged[2] = {true, true};  // terminal, monitor
    Bytes dialled_out;  // the dial codes of this program's life
    std::size_t taken = 0;

    int pick(int n) { return std::uniform_int_distribution(0, n - 1)(random); }
    void take_line() {
        for (const Bytes& got = rig.terminal.received(); taken < got.size(); ++taken) {
            if (got[taken] >= 0x91 && got[taken] <= 0x9C) dialled_out.push_back(got[taken]);
        }
    }
    void act() {
        const SharedState& state = rig.mirvane->state;
        if (state.ended) return;
        QTimer::singleShot(pick(12), &rig.form(), [this] { act(); });
        if (settling) {
            if (state.waiting_sends > 0 && since_release.elapsed() <= 1000) return;
            hangs += state.waiting_sends > 0;
            settling = false;
            if (soak.hasExpired(soak_ms)) rig.click("Command2");
            return;
        }
        if (soak.hasExpired(soak_ms) || pick(300) == 0) {
            if (std::exchange(held, false) && plugged[0]) rig.hold(false);
            settling = true;
            return since_release.start();
        }
        const int action = pick(20);
        const char* const buttons[] = {"Command1", "Command4", "Command6", "Command7", "Command2"};
        if (action < 7) return rig.key(1 + pick(12));
        if (action < 11 || (action == 11 && pick(20) == 0)) return rig.click(buttons[action - 7]);
        if (action == 12 || action == 13) {
            auto* field = rig.form().findChild<QLineEdit*>(action == 12 ? "Text3" : "Text6");
            field->clear();
            QTest::keyClicks(field, action == 12 ? QString::number(pick(100000)) + "*#x "[pick(4)]
                                                 : QString::number(pick(0x90) * 0x100 + pick(0x90), 16));
            return rig.click(action == 12 ? "Command3" : "Command8");
        }
        if (action == 14 && plugged[0]) return rig.hold(held = !held);
        const int side = pick(2);
        FarSide& far = side == 0 ? rig.terminal : rig.monitor;
        if (action == 15) {
            if (side == 0 && plugged[0]) take_line();
            plugged[side] ? far.unplug() : far.plug_in();
            plugged[side] = !plugged[side];
            if (side == 0 && plugged[0]) taken = 0, held = false;
        } else if (plugged[side] && rig.form().caption(Control::Command1) == u"端末通信終了") {
            far.write({static_cast<std::uint8_t>(pick(256)), static_cast<std::uint8_t>(pick(256))});
        }
    }

    void run() {
        qInfo("soak: %lld s, MIRVANE_SOAK_SEED=%u", soak_ms / 1000, seed);
        for (soak.start(); !soak.hasExpired(soak_ms); ++lives) {
            if (lives > 0) rig.start_program();
            dialled_out.clear();
            taken = rig.terminal.received().size();
            QTimer::singleShot(0, &rig.form(), [this] { act(); });
            QCoreApplication::exec();  // until an exit
            take_line();
            const SharedState& state = rig.mirvane->state;
            std::size_t next = 0;
            for (const std::uint8_t code : dialled_out) {
                next += next < state.dial_number.size() && state.dial_number[next] == u"1234567890*#"[code - 0x91];
            }
            QVERIFY2(next == state.dial_number.size() && dialled_out.size() - next <= 32 * ((state.terminal_session + 1) / 2),
                     qPrintable(QString::fromStdU16String(state.dial_number)));
            QCOMPARE(rig.mirvane->MSComm1.writes_while_closed() + rig.mirvane->MSComm2.writes_while_closed(), 0);
        }
        QCOMPARE(hangs, 0);
    }
};

class RobustTest : public QObject {
    Q_OBJECT

private slots:
    // Each press lands in the wait of the one before: 1 2 3 4 ... go out and are recorded in
    // press order once the line runs; past 32 waiting, a press sends nothing.
    void thousands_of_presses_on_a_held_line_send_the_first_32_in_press_order() {
        ProgramOnPtys rig;
        rig.click("Command1");
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
        QCOMPARE(rig.form().text(Control::Text4), pressed.substr(0, 32));
    }

    // The box names the device and the true reason, and a long path wraps in it.
    void a_device_that_cannot_be_opened_says_why() {
        using Row = std::tuple<const char*, int, QString>;
        for (const auto& [device, length, reason] : {
                 Row{"missing", 0, "装置が見つかりません"}, Row{"missing", 255, "装置が見つかりません"},
                 Row{"free", 255, "パスが長すぎて、ロックファイルを作れません（短いパスか、短い名前のシンボリックリンクで指定してください）"}}) {
            QTemporaryDir dir;
            const QString path = length == 0 ? dir.filePath("line") : dir.filePath(QString(length - dir.path().size() - 1, u'n'));
            FarSide far(1);  // a device behind a path of the given length, or none
            if (device == QLatin1String("free")) QVERIFY(QFile::link(far.path(), path));
            qputenv("MIRVANE_PORT1", path.toLocal8Bit());
            QtProgram mirvane;
            Main(mirvane.program);
            BoxConfirmer boxes;
            bool fits = false;
            boxes.may_confirm = [&] {
                const auto* label = QApplication::activeModalWidget()->findChild<QLabel*>("qt_msgbox_label");
                return fits = label->minimumSizeHint().width() <= label->width() && label->heightForWidth(label->width()) <= label->height();
            };
            QTest::mouseClick(mirvane.window.findChild<QPushButton*>("Command1"), Qt::LeftButton);
            QVERIFY2(fits, device);
            QCOMPARE(boxes.seen.at(0).text.remove(QChar(0x200B)), "端末ポート（" + path + "）を開けません：" + reason);
        }
    }

    void the_entry_fields_keep_a_long_paste_whole() {
        Form1 form;
        for (const auto& [name, control, text] : {std::tuple{"Text3", Control::Text3, QString(40000, u'7')},
                                                  std::tuple{"Text6", Control::Text6, QString(32768, u'A')}}) {
            QApplication::clipboard()->setText(text);
            QTest::keyClick(form.findChild<QLineEdit*>(name), Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(QString::fromStdU16String(form.text(control)), text);
        }
    }

    // A pty marks no parity errors, but it doubles a 0xFF under the marking as a UART's
    // driver does, and the receive ring must still show one.
    void bytes_in_error_are_marked_and_a_ff_still_arrives_as_one_ff() {
        ProgramOnPtys rig;
        rig.click("Command1");
        termios settings{};
        QCOMPARE(::tcgetattr(rig.terminal.device_end, &settings), 0);
        QCOMPARE(settings.c_iflag & (INPCK | PARMRK | IGNPAR | ISTRIP), tcflag_t(INPCK | PARMRK));
        rig.terminal.write({0xFF, 0x41, 0xFF, 0xFF, 0x00, 0xFF});
        QVERIFY(QTest::qWaitFor([&] { return rig.form().text(Control::Text1) == u"FF 00 FF FF 41 FF"; }));
    }

    // Last: an exit ends the test's later event loops as it ends the program's.
    void an_exit_on_a_held_line_ends_within_its_wait_and_a_second_exit_sends_nothing() {
        for (const bool released_during_wait : {false, true}) {
            ProgramOnPtys rig;
            rig.click("Command1");
            rig.click("Command4");  // returns once A7 and EB have left
            rig.hold(true);
            QTimer::singleShot(200, &rig.form(), [&] { rig.click("Command2"); });
            if (released_during_wait) QTimer::singleShot(400, &rig.form(), [&] { rig.hold(false); });
            QTimer::singleShot(4000, &rig.form(), [&] { rig.hold(false); });  // for a wait without end
            const std::chrono::milliseconds started = rig.form().clock();
            rig.click("Command2");
            QVERIFY(rig.form().clock() - started < std::chrono::milliseconds(2500) && rig.mirvane->state.ended);
            rig.hold(false);
            QCOMPARE(rig.terminal.wait_for(4, 300), released_during_wait ? (Bytes{0xA7, 0xEB, 0xA6}) : (Bytes{0xA7, 0xEB}));
        }
    }

    // Last, with MIRVANE_SOAK_SECONDS not 0 (the soak_test entry of CTest).
    void random_operation_leaves_no_crash_no_hang_no_lost_digit_and_no_write_after_close() {
        if (qEnvironmentVariableIntValue("MIRVANE_SOAK_SECONDS") == 0) QSKIP("MIRVANE_SOAK_SECONDS is 0");
        Soak().run();
    }
};

}  // namespace mirvane::qt::testing

QTEST_MAIN(mirvane::qt::testing::RobustTest)
#include "robust_test.moc"
