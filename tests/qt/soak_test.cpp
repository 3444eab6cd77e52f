// Random operation of the real program on pseudo-terminals, as long as MIRVANE_SOAK_SECONDS
// says (CTest gives it 20 s; -DMIRVANE_SOAK_SECONDS=300 at configure time, five minutes);
// MIRVANE_SOAK_SEED repeats a run.

#include <QLineEdit>
#include <QRandomGenerator>
#include <random>
#include <span>

#include "support/program_rig.h"

namespace mirvane::qt::testing {

using enum Control;

// Random operation of the real program on ptys for MIRVANE_SOAK_SECONDS: every
// button, start and stop, exits each followed by a fresh program, number and hex texts (the
// hex bytes below 0x90, so that no dial code goes out from them), a held terminal line, far
// sides closed and opened again, bytes on both lines. Afterwards:
// - no crash, and no hang: once the line flows, every waiting send returns within a second;
// - Dial データ is the dial codes that went out on the terminal line in that program's life,
//   in order, less digits whose send was cut off by the end of its session (a stop, a lost
//   line, the exit): a subsequence of them, at most 32 fewer per ended session;
// - nothing was written to a closed port.
class SoakTest : public QObject {
    Q_OBJECT

    const qint64 soak_ms = 1000 * qEnvironmentVariableIntValue("MIRVANE_SOAK_SECONDS");
    const quint32 seed =
        qEnvironmentVariable("MIRVANE_SOAK_SEED", QString::number(QRandomGenerator::global()->generate())).toUInt();
    std::mt19937 random{seed};
    ProgramRig rig;
    QElapsedTimer soak, since_release;
    int hangs = 0;
    bool settling = false, held = false, plugged[2] = {true, true};  // terminal, monitor

    int pick(int n) { return std::uniform_int_distribution(0, n - 1)(random); }
    void act() {
        const SharedState& state = rig.mirvane->state;
        if (state.ended) return;
        QTimer::singleShot(pick(12), &rig.form(), [this] { act(); });
        if (settling) {
            if (state.waiting_sends > 0 && since_release.elapsed() <= 1000) return;
            hangs += state.waiting_sends > 0;
            settling = false;
            if (soak.hasExpired(soak_ms)) rig.click(Command2);
            return;
        }
        if (soak.hasExpired(soak_ms) || pick(300) == 0) {
            if (std::exchange(held, false) && plugged[0]) rig.hold(false);
            settling = true;
            return since_release.start();
        }
        const int action = pick(20);
        if (action < 7) return rig.key(1 + pick(12));
        const Control buttons[] = {Command1, Command4, Command6, Command7, Command2};
        if (action < 11 || (action == 11 && pick(20) == 0)) return rig.click(buttons[action - 7]);
        if (action == 12 || action == 13) {
            auto* field = rig.widget<QLineEdit>(action == 12 ? Text3 : Text6);
            field->clear();
            QTest::keyClicks(field, action == 12 ? QString::number(pick(100000)) + "*#x "[pick(4)]
                                                 : QString::number(pick(0x90) * 0x100 + pick(0x90), 16));
            return rig.click(action == 12 ? Command3 : Command8);
        }
        if (action == 14 && plugged[0]) return rig.hold(held = !held);
        const int side = pick(2);
        FarSide& far = side == 0 ? rig.terminal : rig.monitor;
        if (action == 15) {
            (plugged[side] = !plugged[side]) ? far.plug_in() : far.unplug();
            if (side == 0) held = false;
        } else if (plugged[side] && rig.form().caption(Command1) == u"端末通信終了") {
            far.write({static_cast<std::uint8_t>(pick(256)), static_cast<std::uint8_t>(pick(256))});
        }
    }

private slots:
    void random_operation_leaves_no_crash_no_hang_no_lost_digit_and_no_write_after_close() {
        qInfo("soak: %lld s, MIRVANE_SOAK_SEED=%u", soak_ms / 1000, seed);
        for (soak.start(); !soak.hasExpired(soak_ms);) {
            const std::size_t taken = rig.terminal.received().size();  // by earlier programs
            QTimer::singleShot(0, &rig.form(), [this] { act(); });
            QCoreApplication::exec();  // until an exit
            const SharedState& state = rig.mirvane->state;
            std::size_t next = 0, dialled = 0;
            for (const std::uint8_t code : std::span(rig.terminal.received()).subspan(taken)) {
                if (code < 0x91 || code > 0x9C) continue;
                ++dialled;
                next += next < state.dial_number.size() && state.dial_number[next] == u"1234567890*#"[code - 0x91];
            }
            const QByteArray dial_number = QString::fromStdU16String(state.dial_number).toUtf8();
            QVERIFY2(next == state.dial_number.size(), dial_number.constData());
            QVERIFY2(dialled - next <= 32 * state.terminal_session, dial_number.constData());
            QCOMPARE(rig.mirvane->MSComm1.writes_while_closed() + rig.mirvane->MSComm2.writes_while_closed(), 0);
            rig.start_program();
        }
        QCOMPARE(hangs, 0);
    }
};

}  // namespace mirvane::qt::testing

QTEST_MAIN(mirvane::qt::testing::SoakTest)
#include "soak_test.moc"
