// One serial line on QSerialPort, driven from the far side of real pseudo-terminals.

#include <termios.h>
#include <ctime>

#include "link/line_settings.h"
#include "support/far_side.h"

namespace mirvane::qt::testing {

using namespace comm_event;
using namespace Qt::StringLiterals;
using Events = std::vector<std::int16_t>;

// A port configured as the window's load configures it, on the device of a far side; it
// keeps the events it raised and the bytes its receive events read.
struct Line {
    Line() {
        configure_port(port, kTerminalPortNumber);
        port.on_comm = [this] {
            events.push_back(port.comm_event());
            if (events.back() == kReceive)
                for (const std::uint8_t byte : port.input()) bytes.push_back(byte);
            if (meanwhile) std::exchange(meanwhile, nullptr)();
        };
    }
    // The events raised once `arriving` has come from the far side.
    Events raised(const Bytes& arriving = {}) {
        far.write(arriving);
        (void)QTest::qWaitFor([&] { return !events.empty(); }, 3000);
        QTest::qWait(60);  // and any that follow
        return std::exchange(events, {});
    }
    // Why the port does not open; empty when it does.
    QString refusal() { return QString::fromStdU16String(port.open().value_or(OpenFailure{}).reason); }

    FarSide far{1};
    QtSerialPort port;
    Events events;
    Bytes bytes;
    std::function<void()> meanwhile;  // run once inside the next handler, as a box would
};

class QtSerialPortTest : public QObject {
    Q_OBJECT

private slots:
    // The settings text gives the parity and size that a pseudo-terminal cannot show: it
    // opens only with the parity set before open(), and then shows the speed, the stop bits
    // and no flow control, and the driver marks bytes received in error: a valid 0xFF arrives
    // doubled, and is one 0xFF again by the time it is read (a pseudo-terminal marks no
    // parity errors; the unmarking of those is tested on byte tables). A device another
    // program holds is not opened, and says so. (Output held by the far end, counted until
    // it leaves, and bytes sent as they are: the program's presses on held lines.) A device
    // lost while open fails every read as fast as the event loop turns: the loss is reported
    // once, the port closes though the handler does not close it, nothing spins, and the
    // path then leads to no device. A path too long for a lock file's name is no busy
    // device, and a missing one of that length is missing.
    void a_line_opens_set_up_and_says_why_a_device_is_busy_lost_or_missing() {
        const LineOptions tool = parse_line_settings(u"600,E,8,1").value();
        QCOMPARE(tool.parity, QSerialPort::EvenParity);
        QCOMPARE(tool.data_bits, QSerialPort::Data8);
        QCOMPARE(parse_line_settings(u"9600,o,7,2").value().stop_bits, QSerialPort::TwoStop);
        Line line;
        QSerialPort other(line.far.path());
        QVERIFY(other.open(QIODevice::ReadWrite));
        QCOMPARE(line.refusal(),
                 u"ほかのプログラムがロックしています（プロセス番号 %1）"_s.arg(QCoreApplication::applicationPid()));
        other.close();
        QVERIFY(!line.port.open());
        termios device{};
        QCOMPARE(::tcgetattr(line.far.device_end, &device), 0);
        QCOMPARE(::cfgetospeed(&device), speed_t(B600));
        QCOMPARE(device.c_cflag & (CSTOPB | CRTSCTS), tcflag_t(0));
        QCOMPARE(device.c_iflag & (INPCK | PARMRK | IGNPAR | ISTRIP | IXON | IXOFF), tcflag_t(INPCK | PARMRK));
        const Bytes marked{0xFF, 0x41, 0xFF, 0xFF, 0x00, 0xFF};
        line.far.write(marked);
        QVERIFY(QTest::qWaitFor([&] { return line.bytes == marked; }));

        std::vector<std::u16string> lost;
        line.port.on_lost = [&](std::u16string_view reason, std::u16string_view) { lost.emplace_back(reason); };
        line.far.unplug();
        QVERIFY(QTest::qWaitFor([&] { return !lost.empty(); }));
        const std::clock_t cpu_before = std::clock();
        QTest::qWait(300);
        QVERIFY2(std::clock() - cpu_before < CLOCKS_PER_SEC / 10, "the lost device keeps the processor busy");
        QCOMPARE(lost, std::vector<std::u16string>{u"装置が応答しません（取り外されたか、相手側が閉じられました）"});
        QCOMPARE(line.refusal(), u"装置が見つかりません"_s);

        const QString too_long = line.far.path() + QString(255 - line.far.path().size(), u'n');
        line.port.choose_device(too_long), line.port.set_comm_port(kTerminalPortNumber);
        QCOMPARE(line.refusal(), u"装置が見つかりません"_s);
        line.far.plug_in();
        QVERIFY(QFile::link(line.far.path(), too_long));
        QCOMPARE(
            line.refusal(),
            u"パスが長すぎて、ロックファイルを作れません（短いパスか、短い名前のシンボリックリンクで指定してください）"_s);
    }

    // The driver marks only what it takes in once the marking is on: bytes already waiting
    // when the line opens, sent before it opened or between a close and the next open, are
    // read as they are, and what follows is unmarked again.
    void bytes_waiting_before_the_line_opens_are_read_as_they_were_sent() {
        struct Case {
            Bytes before_close;  // sent while the line is open, before it is closed
            Bytes waiting;       // sent while the line is closed
            Bytes after_open;
        };
        const Case cases[] = {
            {{}, {0xE0, 0xFF, 0x00, 0x41}, {0xFF, 0x41}},
            {{0x31}, {0xE0, 0xFF}, {0x00, 0x42, 0xC5}},
            {{0xFF}, {0xFF, 0xFF, 0x00}, {0xFF, 0xFF, 0x00, 0x43}},
        };
        for (const Case& c : cases) {
            Line line;
            if (!c.before_close.empty()) {
                QVERIFY(!line.port.open());
                line.far.write(c.before_close);
                QVERIFY(QTest::qWaitFor([&] { return line.bytes.size() == c.before_close.size(); }));
                line.port.close();
            }
            line.far.write(c.waiting);
            QTest::qWait(20);  // taken in by the driver before the line opens
            QVERIFY(!line.port.open());
            line.far.write(c.after_open);
            Bytes sent = c.before_close;
            sent.insert(sent.end(), c.waiting.begin(), c.waiting.end());
            sent.insert(sent.end(), c.after_open.begin(), c.after_open.end());
            QVERIFY(QTest::qWaitFor([&] { return line.bytes.size() >= sent.size(); }));
            QTest::qWait(20);  // and nothing more
            QCOMPARE(line.bytes, sent);
        }
    }

    // While the window says a paint is coming, bytes wait on the line for it: taken, they are
    // one receive event, whole and in order, those that gathered in the driver included.
    // With nothing waiting, taking raises nothing; once no paint is coming, bytes are read as
    // they come again.
    void bytes_held_for_a_paint_come_in_one_receive_event_when_taken() {
        Line line;
        bool paint_coming = true;
        line.port.hold_reads_while([&] { return paint_coming; });
        QVERIFY(!line.port.open());
        Bytes sent;
        for (std::uint8_t i = 0; i < 30; ++i) line.far.write({i}), sent.push_back(i), QTest::qWait(2);
        QTest::qWait(20);
        QVERIFY(line.events.empty());
        QVERIFY(line.port.holding());
        line.port.take_waiting();
        QCOMPARE(line.events, Events{kReceive});
        QCOMPARE(line.bytes, sent);
        QVERIFY(!line.port.holding());
        line.port.take_waiting();
        QCOMPARE(line.events.size(), std::size_t(1));
        paint_coming = false, line.events.clear();
        QCOMPARE(line.raised({0x41}), Events{kReceive});
        QCOMPARE(line.bytes.back(), 0x41);
    }

    // 20,001 bytes, all but one arriving while the first receive handler runs events (a box
    // does): no receive event inside it, another once it has returned, every byte in order.
    // A driver without counters or modem lines at the opening is not asked again. Where it
    // has modem lines, they are looked at on a quiet line too: a change of CTS, DSR or CD
    // is one event, a ring one once RI falls again. Where it counts (counts come first), each
    // new occurrence is one event, line states before errors, bytes moving none, nothing
    // counted before the opening, and an error that came with bytes follows their receive
    // event at once.
    void bytes_raise_receive_events_whole_and_in_order_and_what_the_driver_sees_line_events() {
        Line line;
        Bytes sent(20001);
        for (std::size_t i = 0; i < sent.size(); ++i) sent[i] = std::uint8_t(i * 7 + i / 256);
        line.meanwhile = [&] {  // paced, as a line paces them; a pseudo-terminal holds some 9 KiB
            for (auto at = sent.begin() + 1; at != sent.end(); at += 4000) {
                line.far.write(Bytes(at, at + 4000)), QTest::qWait(20);
            }
            QCOMPARE(line.events.size(), std::size_t(1));  // no receive event inside the handler
        };
        ScriptedLineState driver(line.port);
        QVERIFY(!line.port.open());
        driver.modem_lines_now = ModemLines{.cts = true};
        line.far.write({sent[0]});
        QVERIFY(QTest::qWaitFor([&] { return line.bytes.size() >= sent.size(); }));
        QCOMPARE(line.bytes, sent);
        QVERIFY(std::ranges::all_of(line.raised(), [](std::int16_t event) { return event == kReceive; }));
        QVERIFY(std::ranges::none_of(line.port.findChildren<QTimer*>(), &QTimer::isActive));  // nothing polls

        line.port.close();
        QVERIFY(!line.port.open());
        driver.modem_lines_now->dsr = driver.modem_lines_now->ri = true;
        QCOMPARE(line.raised(), Events{kDsr});
        driver.modem_lines_now->ri = false, driver.modem_lines_now->cd = true;
        QCOMPARE(line.raised(), (Events{kCd, kRing}));
        line.port.close();
        QVERIFY(std::ranges::none_of(line.port.findChildren<QTimer*>(), &QTimer::isActive));  // nothing polls

        LineCounters& now = driver.counters_now.emplace(LineCounters{9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9});
        line.port.set_line_poll_interval(std::chrono::hours(1));
        QVERIFY(!line.port.open());
        QCOMPARE(line.raised({0x01}), Events{kReceive});
        now.cts += 1, now.dcd += 2, now.brk += 1, now.frame += 3, now.parity += 1, now.rx += 50, now.tx += 9;
        QCOMPARE(line.raised({0x02}), (Events{kReceive, kCts, kCd, kCd, kBreak, kFrame, kFrame, kFrame, kParity}));
        now.dsr += 1, now.rng += 1, now.overrun += 1, now.buf_overrun += 2;
        QCOMPARE(line.raised({0x03}), (Events{kReceive, kDsr, kRing, kOverrun, kRxOverflow, kRxOverflow}));
    }
};

}  // namespace mirvane::qt::testing

QTEST_GUILESS_MAIN(mirvane::qt::testing::QtSerialPortTest)
#include "qt_serial_port_test.moc"
