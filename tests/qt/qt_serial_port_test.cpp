// One serial line on QSerialPort, driven from the far side of real pseudo-terminals.

#include <QElapsedTimer>
#include <QEventLoop>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTimer>
#include <QTest>
#include <ctime>
#include <memory>

#include "link/qt/line_options.h"
#include "link/qt/qt_serial_port.h"
#include "link/line_settings.h"
#include "support/far_side.h"

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

    // A handler that runs events (a message box does) gets no event inside itself, and
    // what came meanwhile is announced once it has returned.
    void bytes_that_arrive_while_the_handler_runs_raise_another_event_afterwards() {
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
