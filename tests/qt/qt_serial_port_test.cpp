// One serial line on QSerialPort, driven from the far side of real pseudo-terminals.

#include <QElapsedTimer>
#include <QEventLoop>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTimer>
#include <QTest>
#include <chrono>
#include <ctime>
#include <functional>
#include <memory>

#include "link/qt/line_options.h"
#include "link/qt/qt_serial_port.h"
#include "link/line_settings.h"
#include "support/far_side.h"
#include "support/scripted_line_state.h"

namespace mirvane::qt::testing {

namespace {

const std::u16string kMissing = u"装置が見つかりません";
const std::u16string kBusy = u"ほかのプログラムが使用中か、ロックされています";
const std::u16string kNoPermission =
    u"使用する権限がありません（利用者を dialout グループに加えてから、ログインし直してください）";
const std::u16string kGone = u"装置が応答しません（取り外されたか、相手側が閉じられました）";

double cpu_seconds() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// A port configured as the window's load configures it, on the device at `path`.
std::unique_ptr<QtSerialPort> line_at(const QString& path) {
    qputenv("MIRVANE_PORT1", path.toLocal8Bit());
    auto port = std::make_unique<QtSerialPort>();
    configure_port(*port, kTerminalPortNumber);
    return port;
}

// A driver reading in which every counter already stands at `base`, as on a line in use.
LineCounters counters_at(std::uint32_t base) {
    return {base, base, base, base, base, base, base, base, base, base, base};
}

// Runs events as a modal box's loop runs them, until `done` holds or the time is up.
bool run_events_until(const std::function<bool()>& done, int timeout_ms = 3000) {
    QEventLoop box;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (done()) box.quit();
    });
    check.start(5);
    QTimer::singleShot(timeout_ms, &box, &QEventLoop::quit);
    box.exec();
    return done();
}

// What a port raised: event numbers in order, and the bytes its receive events read.
struct Heard {
    std::vector<std::int16_t> events;
    std::vector<std::uint8_t> bytes;

    std::vector<std::int16_t> line_events() const {
        std::vector<std::int16_t> line;
        for (const std::int16_t event : events) {
            if (event != comm_event::kReceive) line.push_back(event);
        }
        return line;
    }
};

void listen(QtSerialPort& port, Heard& heard) {
    port.on_comm = [&port, &heard] {
        heard.events.push_back(port.comm_event());
        if (port.comm_event() != comm_event::kReceive) return;
        const auto bytes = port.input();
        heard.bytes.insert(heard.bytes.end(), bytes.begin(), bytes.end());
    };
}

std::vector<std::uint8_t> counting(std::size_t count) {
    std::vector<std::uint8_t> bytes(count);
    for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
    return bytes;
}

}  // namespace

class QtSerialPortTest : public QObject {
    Q_OBJECT

private slots:
    void init() { QVERIFY(dir_.isValid()); }

    void the_device_is_the_environment_s_choice_else_the_machine_s_serial_port_data() {
        QTest::addColumn<int>("number");
        QTest::addColumn<QByteArray>("chosen");
        QTest::addColumn<QString>("device");
        QTest::newRow("terminal, chosen") << 1 << QByteArray("/dev/ttyUSB3") << "/dev/ttyUSB3";
        QTest::newRow("monitor, chosen") << 2 << QByteArray("/tmp/pty-b") << "/tmp/pty-b";
        QTest::newRow("terminal, unset") << 1 << QByteArray() << "/dev/ttyS0";
        QTest::newRow("monitor, unset") << 2 << QByteArray() << "/dev/ttyS1";
    }
    void the_device_is_the_environment_s_choice_else_the_machine_s_serial_port() {
        QFETCH(int, number);
        QFETCH(QByteArray, chosen);
        QFETCH(QString, device);
        const QByteArray variable = "MIRVANE_PORT" + QByteArray::number(number);
        if (chosen.isNull()) {
            qunsetenv(variable.constData());
        } else {
            qputenv(variable.constData(), chosen);
        }
        QCOMPARE(device_for_port(static_cast<std::int16_t>(number)), device);
        // An empty value counts as unset.
        qputenv(variable.constData(), QByteArray(""));
        QCOMPARE(device_for_port(static_cast<std::int16_t>(number)),
                 QStringLiteral("/dev/ttyS%1").arg(number - 1));
    }

    void settings_texts_are_read_field_by_field_data() {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("baud");
        QTest::addColumn<int>("parity");
        QTest::addColumn<int>("data_bits");
        QTest::addColumn<int>("stop_bits");
        QTest::newRow("the tool's") << "600,E,8,1" << true << 600 << int(QSerialPort::EvenParity)
                                   << 8 << int(QSerialPort::OneStop);
        QTest::newRow("odd, two stops") << "9600,o,7,2" << true << 9600 << int(QSerialPort::OddParity)
                                        << 7 << int(QSerialPort::TwoStop);
        QTest::newRow("none, half stop") << "1200,N,5,1.5" << true << 1200 << int(QSerialPort::NoParity)
                                         << 5 << int(QSerialPort::OneAndHalfStop);
        QTest::newRow("mark") << "300,M,6,1" << true << 300 << int(QSerialPort::MarkParity) << 6
                              << int(QSerialPort::OneStop);
        QTest::newRow("space") << "300,S,8,1" << true << 300 << int(QSerialPort::SpaceParity) << 8
                               << int(QSerialPort::OneStop);
        QTest::newRow("three fields") << "600,E,8" << false << 0 << 0 << 0 << 0;
        QTest::newRow("unknown parity") << "600,X,8,1" << false << 0 << 0 << 0 << 0;
        QTest::newRow("nine data bits") << "600,E,9,1" << false << 0 << 0 << 0 << 0;
        QTest::newRow("three stop bits") << "600,E,8,3" << false << 0 << 0 << 0 << 0;
        QTest::newRow("no baud") << ",E,8,1" << false << 0 << 0 << 0 << 0;
        QTest::newRow("zero baud") << "0,E,8,1" << false << 0 << 0 << 0 << 0;
    }
    void settings_texts_are_read_field_by_field() {
        QFETCH(QString, settings);
        QFETCH(bool, valid);
        const auto options = parse_line_settings(settings.toStdU16String());
        QCOMPARE(options.has_value(), valid);
        if (!valid) return;
        QFETCH(int, baud);
        QFETCH(int, parity);
        QFETCH(int, data_bits);
        QFETCH(int, stop_bits);
        QCOMPARE(options->baud_rate, baud);
        QCOMPARE(int(options->parity), parity);
        QCOMPARE(int(options->data_bits), data_bits);
        QCOMPARE(int(options->stop_bits), stop_bits);
    }

    void the_line_settings_are_on_the_device_once_it_is_open() {
        FarSide far(dir_.filePath("line"), true);
        auto port = line_at(far.path());
        QVERIFY(!port->open().has_value());
        QVERIFY(port->is_open());
        termios settings{};
        QCOMPARE(::tcgetattr(far.device_end(), &settings), 0);
        QCOMPARE(::cfgetospeed(&settings), speed_t(B600));
        QCOMPARE(::cfgetispeed(&settings), speed_t(B600));
        // A pseudo-terminal keeps no parity (it always reads back 8 data bits without);
        // that the port opens at all with parity asked for is what it can show.
        QCOMPARE(settings.c_cflag & CSIZE, tcflag_t(CS8));
        QVERIFY(!(settings.c_cflag & CSTOPB));
        QVERIFY(!(settings.c_cflag & CRTSCTS));
        QVERIFY(!(settings.c_iflag & (IXON | IXOFF)));
        // Raw bytes both ways: no line editing, no translation of CR or LF.
        QVERIFY(!(settings.c_lflag & (ICANON | ECHO | ISIG)));
        QVERIFY(!(settings.c_iflag & (ICRNL | INLCR | IGNCR)));
        QVERIFY(!(settings.c_oflag & OPOST));
        QCOMPARE(port->device_name(), far.path().toStdU16String());
    }

    void waiting_bytes_raise_one_receive_event_and_come_out_whole_in_order() {
        FarSide far(dir_.filePath("line"));
        auto port = line_at(far.path());
        std::vector<std::int16_t> events;
        std::vector<std::uint8_t> got;
        port->on_comm = [&] {
            events.push_back(port->comm_event());
            const auto bytes = port->input();
            got.insert(got.end(), bytes.begin(), bytes.end());
            QVERIFY(port->input().empty());
        };
        QVERIFY(!port->open().has_value());
        far.write({0x80, 0x0D, 0x0A, 0x00, 0xFF});
        QVERIFY(QTest::qWaitFor([&] { return got.size() >= 5; }));
        QCOMPARE(got, (std::vector<std::uint8_t>{0x80, 0x0D, 0x0A, 0x00, 0xFF}));
        QCOMPARE(events, std::vector<std::int16_t>{comm_event::kReceive});
    }

    void a_long_stream_arrives_without_a_byte_lost_or_reordered() {
        FarSide far(dir_.filePath("line"));
        auto port = line_at(far.path());
        std::vector<std::uint8_t> got;
        port->on_comm = [&] {
            const auto bytes = port->input();
            QVERIFY(!bytes.empty());  // no event without bytes
            got.insert(got.end(), bytes.begin(), bytes.end());
        };
        QVERIFY(!port->open().has_value());
        const std::vector<std::uint8_t> sent = counting(20000);
        for (std::size_t i = 0; i < sent.size(); i += 1000) {
            far.write({sent.begin() + static_cast<long>(i), sent.begin() + static_cast<long>(i + 1000)});
            if (i % 5000 == 0) QTest::qWait(1);
        }
        QVERIFY(QTest::qWaitFor([&] { return got.size() >= sent.size(); }));
        QCOMPARE(got, sent);
    }

    // A receive handler that runs events gets no second receive event inside itself, and
    // what came meanwhile is announced once it has returned.
    void bytes_that_arrive_while_the_receive_handler_runs_raise_another_event_afterwards() {
        FarSide far(dir_.filePath("line"));
        auto port = line_at(far.path());
        int depth = 0;
        int deepest = 0;
        std::vector<std::vector<std::uint8_t>> deliveries;
        port->on_comm = [&] {
            deepest = std::max(deepest, ++depth);
            deliveries.push_back(port->input());
            if (deliveries.size() == 1) {
                far.write({0x21, 0x22});
                QEventLoop box;
                QTimer::singleShot(150, &box, &QEventLoop::quit);
                box.exec();
            }
            --depth;
        };
        QVERIFY(!port->open().has_value());
        far.write({0x11});
        QVERIFY(QTest::qWaitFor([&] { return deliveries.size() >= 2; }));
        QTest::qWait(50);
        QCOMPARE(deepest, 1);
        QCOMPARE(deliveries.size(), std::size_t(2));
        QCOMPARE(deliveries[0], std::vector<std::uint8_t>{0x11});
        QCOMPARE(deliveries[1], (std::vector<std::uint8_t>{0x21, 0x22}));
    }

    // The driver's counters, read at opening and then after reads and on a timer: each new
    // occurrence is one event, line states before errors within a reading, and nothing
    // counted before the opening or already raised is raised again.
    void counter_jumps_raise_one_event_per_new_occurrence() {
        FarSide far(dir_.filePath("line"));
        auto port = line_at(far.path());
        auto driver = std::make_shared<ScriptedLineState>();
        driver->counters_now = counters_at(4000);
        port->set_line_state_reader(driver);
        Heard heard;
        listen(*port, heard);
        QVERIFY(!port->open().has_value());
        QCOMPARE(port->line_watch(), QtSerialPort::LineWatch::counters);
        QVERIFY(driver->last_descriptor >= 0);  // the open line's own handle

        QTest::qWait(450);  // two polls at least
        QVERIFY(heard.events.empty());

        LineCounters& now = *driver->counters_now;
        now.cts += 1;
        now.dcd += 2;
        now.brk += 1;
        now.frame += 3;
        now.parity += 1;
        now.rx += 50;  // bytes moving are no event
        now.tx += 9;
        const std::vector<std::int16_t> first{comm_event::kCts,   comm_event::kCd,    comm_event::kCd,
                                              comm_event::kBreak, comm_event::kFrame, comm_event::kFrame,
                                              comm_event::kFrame, comm_event::kParity};
        QVERIFY(QTest::qWaitFor([&] { return heard.events.size() >= first.size(); }));
        QTest::qWait(450);
        QCOMPARE(heard.events, first);

        now.rng += 1;
        now.overrun += 1;
        now.buf_overrun += 2;
        std::vector<std::int16_t> both = first;
        both.insert(both.end(), {comm_event::kRing, comm_event::kOverrun, comm_event::kRxOverflow,
                                 comm_event::kRxOverflow});
        QVERIFY(QTest::qWaitFor([&] { return heard.events.size() >= both.size(); }));
        QTest::qWait(450);
        QCOMPARE(heard.events, both);
    }

    // An error that comes with bytes is asked for right after they are read, not left for
    // the next poll.
    void an_error_counted_with_received_bytes_is_raised_right_after_their_read() {
        FarSide far(dir_.filePath("line"));
        auto port = line_at(far.path());
        auto driver = std::make_shared<ScriptedLineState>();
        driver->counters_now = counters_at(0);
        port->set_line_state_reader(driver);
        port->set_line_poll_interval(std::chrono::hours(1));
        Heard heard;
        listen(*port, heard);
        QVERIFY(!port->open().has_value());

        driver->counters_now->parity += 1;
        QTest::qWait(300);
        QVERIFY(heard.events.empty());  // nothing read, nothing asked

        far.write({0x55});
        QVERIFY(QTest::qWaitFor([&] { return heard.events.size() >= 2; }));
        QTest::qWait(50);
        QCOMPARE(heard.events, (std::vector<std::int16_t>{comm_event::kReceive, comm_event::kParity}));
        QCOMPARE(heard.bytes, std::vector<std::uint8_t>{0x55});
    }

    // Without counters, the modem lines' levels tell the line states: a change of CTS, DSR
    // or CD is one event, a ring one event once RI falls again.
    void modem_line_changes_raise_their_events_where_the_driver_keeps_no_counters() {
        FarSide far(dir_.filePath("line"));
        auto port = line_at(far.path());
        auto driver = std::make_shared<ScriptedLineState>();
        driver->modem_lines_now = ModemLines{};
        port->set_line_state_reader(driver);
        Heard heard;
        listen(*port, heard);
        QVERIFY(!port->open().has_value());
        QCOMPARE(port->line_watch(), QtSerialPort::LineWatch::modem_lines);

        ModemLines& lines = *driver->modem_lines_now;
        lines.cts = true;
        lines.dsr = true;
        QVERIFY(QTest::qWaitFor([&] { return heard.events.size() >= 2; }));
        lines.ri = true;
        QTest::qWait(450);
        QCOMPARE(heard.events, (std::vector<std::int16_t>{comm_event::kCts, comm_event::kDsr}));

        lines.ri = false;
        lines.cd = true;
        QVERIFY(QTest::qWaitFor([&] { return heard.events.size() >= 4; }));
        QTest::qWait(450);
        QCOMPARE(heard.events, (std::vector<std::int16_t>{comm_event::kCts, comm_event::kDsr,
                                                          comm_event::kCd, comm_event::kRing}));
    }

    // A pseudo-terminal answers neither question: the line is asked once at opening, no
    // timer runs, and its bytes raise receive events and nothing else.
    void a_line_without_counters_or_modem_lines_is_not_watched_and_costs_nothing() {
        FarSide far(dir_.filePath("line"));
        {
            auto port = line_at(far.path());  // the machine's own driver
            QVERIFY(!port->open().has_value());
            QCOMPARE(port->line_watch(), QtSerialPort::LineWatch::none);
            for (const QTimer* timer : port->findChildren<QTimer*>()) QVERIFY(!timer->isActive());
        }
        auto port = line_at(far.path());
        auto driver = std::make_shared<ScriptedLineState>();
        port->set_line_state_reader(driver);
        Heard heard;
        listen(*port, heard);
        QVERIFY(!port->open().has_value());
        QCOMPARE(port->line_watch(), QtSerialPort::LineWatch::none);
        QCOMPARE(driver->questions, 2);
        for (const QTimer* timer : port->findChildren<QTimer*>()) QVERIFY(!timer->isActive());

        far.write({0x01, 0x02});
        QVERIFY(QTest::qWaitFor([&] { return heard.bytes.size() >= 2; }));
        far.write({0x03});
        QVERIFY(QTest::qWaitFor([&] { return heard.bytes.size() >= 3; }));
        QTest::qWait(450);
        QCOMPARE(driver->questions, 2);
        QCOMPARE(heard.line_events(), std::vector<std::int16_t>{});
        QCOMPARE(heard.bytes, (std::vector<std::uint8_t>{0x01, 0x02, 0x03}));
    }

    // A line event's handler that runs events (a message box does) still gets the receive
    // events of its own line, and further line events, inside it; afterwards it reads its
    // own event number again.
    void a_line_event_handler_that_runs_events_gets_its_line_s_bytes_inside_it() {
        FarSide far(dir_.filePath("line"));
        auto port = line_at(far.path());
        auto driver = std::make_shared<ScriptedLineState>();
        driver->counters_now = counters_at(10);
        port->set_line_state_reader(driver);
        struct Raised {
            std::int16_t event;
            int depth;
            bool operator==(const Raised&) const = default;
        };
        std::vector<Raised> raised;
        std::vector<std::uint8_t> got;
        int depth = 0;
        std::int16_t own_event_after_box = 0;
        port->on_comm = [&] {
            const std::int16_t event = port->comm_event();
            ++depth;
            raised.push_back({event, depth});
            if (event == comm_event::kReceive) {
                const auto bytes = port->input();
                got.insert(got.end(), bytes.begin(), bytes.end());
            }
            if (event == comm_event::kFrame) {
                far.write({0x31, 0x32, 0x33});
                QVERIFY(run_events_until([&] { return got.size() >= 3; }));
                driver->counters_now->parity += 1;
                QVERIFY(run_events_until([&] { return raised.back().event == comm_event::kParity; }));
                own_event_after_box = port->comm_event();
            }
            --depth;
        };
        QVERIFY(!port->open().has_value());
        driver->counters_now->frame += 1;
        QVERIFY(QTest::qWaitFor([&] { return own_event_after_box != 0; }));
        QCOMPARE(own_event_after_box, comm_event::kFrame);
        QCOMPARE(got, (std::vector<std::uint8_t>{0x31, 0x32, 0x33}));
        QCOMPARE(raised.front(), (Raised{comm_event::kFrame, 1}));
        QCOMPARE(raised.back(), (Raised{comm_event::kParity, 2}));
        for (std::size_t i = 1; i + 1 < raised.size(); ++i) {
            QCOMPARE(raised[i], (Raised{comm_event::kReceive, 2}));
        }
    }

    // What was read but not yet raised belongs to its opening; the next opening counts
    // from what the driver says then.
    void closing_drops_line_events_not_yet_raised_and_reopening_counts_afresh() {
        FarSide far(dir_.filePath("line"));
        auto port = line_at(far.path());
        auto driver = std::make_shared<ScriptedLineState>();
        driver->counters_now = counters_at(0);
        port->set_line_state_reader(driver);
        std::vector<std::int16_t> events;
        port->on_comm = [&] {
            events.push_back(port->comm_event());
            if (events.size() == 1) port->close();
        };
        QVERIFY(!port->open().has_value());
        driver->counters_now->frame += 5;
        QVERIFY(QTest::qWaitFor([&] { return !port->is_open(); }));
        QTest::qWait(300);
        QCOMPARE(events, std::vector<std::int16_t>{comm_event::kFrame});
        QCOMPARE(port->line_watch(), QtSerialPort::LineWatch::none);

        port->on_comm = [&] { events.push_back(port->comm_event()); };
        driver->counters_now->frame += 2;  // counted while closed: history
        QVERIFY(!port->open().has_value());
        QTest::qWait(450);
        QCOMPARE(events, std::vector<std::int16_t>{comm_event::kFrame});
        driver->counters_now->brk += 1;
        QVERIFY(QTest::qWaitFor([&] { return events.size() >= 2; }));
        QCOMPARE(events, (std::vector<std::int16_t>{comm_event::kFrame, comm_event::kBreak}));
    }

    void output_reaches_the_far_side_unchanged_and_is_counted_until_it_has_left() {
        FarSide far(dir_.filePath("line"));
        auto port = line_at(far.path());
        QVERIFY(!port->open().has_value());
        const std::vector<std::uint8_t> bytes{0x00, 0xFF, 0x0A, 0x0D, 0xA7};
        for (const std::uint8_t byte : bytes) port->output(std::span(&byte, 1));
        QCOMPARE(port->out_buffer_count(), 5);
        QVERIFY(QTest::qWaitFor([&] { return port->out_buffer_count() == 0; }));
        QCOMPARE(far.wait_for(bytes.size()), bytes);
    }

    // The far end holds the line (as flow control would): the byte has not left, and the
    // count says so until the line runs again.
    void a_held_line_keeps_its_byte_counted_until_the_line_runs_again() {
        FarSide far(dir_.filePath("line"), true);
        auto port = line_at(far.path());
        QVERIFY(!port->open().has_value());
        QCOMPARE(::tcflow(far.device_end(), TCOOFF), 0);
        const std::uint8_t byte = 0xA6;
        port->output(std::span(&byte, 1));
        QTest::qWait(100);
        QCOMPARE(port->out_buffer_count(), 1);
        QVERIFY(far.received().empty());
        QVERIFY(port->is_open());
        QCOMPARE(::tcflow(far.device_end(), TCOON), 0);
        QVERIFY(QTest::qWaitFor([&] { return port->out_buffer_count() == 0; }));
        QCOMPARE(far.wait_for(1), std::vector<std::uint8_t>{0xA6});
    }

    void a_missing_device_cannot_be_opened_and_says_so() {
        auto port = line_at(dir_.filePath("nothing-here"));
        const auto failure = port->open();
        QVERIFY(failure.has_value());
        QCOMPARE(failure->reason, kMissing);
        QVERIFY(!port->is_open());
    }

    void a_device_held_by_another_program_is_reported_busy() {
        FarSide far(dir_.filePath("line"));
        QSerialPort other(far.path());
        QVERIFY(other.open(QIODevice::ReadWrite));
        auto port = line_at(far.path());
        const auto failure = port->open();
        QVERIFY(failure.has_value());
        QCOMPARE(failure->reason, kBusy);
        QVERIFY(!port->is_open());
        other.close();
        QVERIFY(!port->open().has_value());
    }

    void a_device_without_permission_points_at_the_dialout_group() {
        if (::geteuid() == 0) QSKIP("root may open every device");
        FarSide far(dir_.filePath("line"));
        const QString device = QFile::symLinkTarget(far.path());
        QVERIFY(QFile::setPermissions(device, QFile::ReadOwner));
        auto port = line_at(far.path());
        const auto failure = port->open();
        QVERIFY(failure.has_value());
        QCOMPARE(failure->reason, kNoPermission);
    }

    void closing_a_closed_port_is_harmless() {
        FarSide far(dir_.filePath("line"));
        auto port = line_at(far.path());
        int losses = 0;
        port->on_lost = [&](std::u16string_view) { ++losses; };
        port->close();
        QVERIFY(!port->open().has_value());
        port->close();
        port->close();
        QVERIFY(!port->is_open());
        QVERIFY(far.wait_device_open(false));
        QTest::qWait(20);
        QCOMPARE(losses, 0);
        QCOMPARE(port->out_buffer_count(), 0);
        QVERIFY(port->input().empty());
    }

    // Left open, a dead device fails every read as fast as the event loop turns. The loss
    // is reported once, the port ends up closed even when the handler does not close it,
    // and nothing spins afterwards.
    void a_vanished_device_is_reported_once_and_closed_without_spinning() {
        FarSide far(dir_.filePath("line"));
        auto port = line_at(far.path());
        std::vector<std::u16string> reasons;
        port->on_lost = [&](std::u16string_view reason) { reasons.emplace_back(reason); };
        QVERIFY(!port->open().has_value());
        far.unplug();
        QVERIFY(QTest::qWaitFor([&] { return !reasons.empty(); }));
        QVERIFY(!port->is_open());

        const double cpu_before = cpu_seconds();
        QElapsedTimer wall;
        wall.start();
        QTest::qWait(300);
        const double cpu_share = (cpu_seconds() - cpu_before) * 1000.0 / double(wall.elapsed());
        QVERIFY2(cpu_share < 0.3, qPrintable(QStringLiteral("CPU share %1").arg(cpu_share)));
        QCOMPARE(reasons, std::vector<std::u16string>{kGone});
        QVERIFY(port->errors_after_loss() < 1000);

        // Plugged in again at the same path: the port opens and carries bytes again.
        far.plug_in();
        std::vector<std::uint8_t> got;
        port->on_comm = [&] {
            const auto bytes = port->input();
            got.insert(got.end(), bytes.begin(), bytes.end());
        };
        QVERIFY(!port->open().has_value());
        far.write({0x42});
        QVERIFY(QTest::qWaitFor([&] { return got.size() == 1; }));
        QCOMPARE(got, std::vector<std::uint8_t>{0x42});
        QCOMPARE(reasons.size(), std::size_t(1));
    }

private:
    QTemporaryDir dir_;
};

}  // namespace mirvane::qt::testing

QTEST_GUILESS_MAIN(mirvane::qt::testing::QtSerialPortTest)
#include "qt_serial_port_test.moc"
