// What the operator must not be able to break: a held terminal line under presses and the
// exit, a device that cannot be opened, long input, and a 0xFF byte under error marking.

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLabel>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <sys/ioctl.h>

#include "link/line_settings.h"
#include "program_on_ptys.h"

namespace mirvane::qt::testing {

class RobustTest : public QObject {
    Q_OBJECT

private slots:
    void presses_on_a_held_line_go_out_and_are_recorded_in_press_order() {
        ProgramOnPtys rig;
        rig.click("Command1");
        rig.hold(true);
        for (int index = 2; index <= 4; ++index) QTimer::singleShot(50 * index, &rig.form(), [&rig, index] { rig.key(index); });
        QTimer::singleShot(400, &rig.form(), [&] { rig.hold(false); });
        rig.key(1);  // returns once every press inside its wait has
        QCOMPARE(rig.terminal.wait_for(4), (Bytes{0x91, 0x92, 0x93, 0x94}));
        QCOMPARE(rig.form().text(Control::Text4), u"1234");
    }

    // Each press lands inside the wait of the one before; past 32 waiting, presses send
    // nothing, and none of the 32 is lost.
    void thousands_of_presses_on_a_held_line_send_the_first_32_once_it_runs() {
        ProgramOnPtys rig;
        rig.click("Command1");
        rig.hold(true);
        const std::u16string keys = u"1234567890*#";
        std::u16string pressed;
        std::function<void()> press = [&] {
            if (pressed.size() == 3000) return rig.hold(false);
            QTimer::singleShot(0, &rig.form(), press);
            pressed += keys[pressed.size() % 12];
            rig.key(static_cast<int>(pressed.size() - 1) % 12 + 1);
        };
        press();
        QCOMPARE(pressed.size(), std::size_t(3000));
        Bytes first_32;
        for (int i = 0; i < 32; ++i) first_32.push_back(static_cast<std::uint8_t>(0x91 + i % 12));
        QCOMPARE(rig.terminal.wait_for(32), first_32);
        QTest::qWait(100);
        QCOMPARE(rig.terminal.received(), first_32);
        QCOMPARE(rig.form().text(Control::Text4), pressed.substr(0, 32));
    }

    void a_device_that_cannot_be_opened_says_why_data() {
        QTest::addColumn<QString>("device");  // missing, free, locked, held, unreadable
        QTest::addColumn<int>("path_length");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << "missing" << 0 << "装置が見つかりません";
        QTest::newRow("missing, long path") << "missing" << 255 << "装置が見つかりません";
        QTest::newRow("free, long path") << "free" << 255
            << "パスが長すぎて、ロックファイルを作れません（短いパスか、短い名前のシンボリックリンクで指定してください）";
        QTest::newRow("locked") << "locked" << 0 << "ほかのプログラムがロックしています（プロセス番号 %1）";
        QTest::newRow("held") << "held" << 0 << "ほかのプログラムが使用中です";
        QTest::newRow("unreadable") << "unreadable" << 0
            << "使用する権限がありません（利用者を dialout グループに加えてから、ログインし直してください）";
    }
    void a_device_that_cannot_be_opened_says_why() {
        QFETCH(QString, device);
        QFETCH(int, path_length);
        QFETCH(QString, reason);
        if ((device == "held" || device == "unreadable") && ::geteuid() == 0) QSKIP("root opens every device");
        QTemporaryDir dir;
        const QString path = dir.filePath(path_length == 0 ? QString("line") : QString(path_length - dir.path().size() - 1, u'n'));
        std::optional<FarSide> far;
        if (device != "missing") far.emplace(path);
        QSerialPort holder(path);
        const int held = device == "held" ? ::open(QFile::encodeName(QFile::symLinkTarget(path)), O_RDWR | O_NOCTTY) : -1;
        if (device == "locked") QVERIFY(holder.open(QIODevice::ReadWrite));
        if (device == "held") QCOMPARE(::ioctl(held, TIOCEXCL), 0);
        if (device == "unreadable") QVERIFY(QFile::setPermissions(QFile::symLinkTarget(path), QFile::ReadOwner));
        qputenv("MIRVANE_PORT1", path.toLocal8Bit());
        QtSerialPort port;
        configure_port(port, kTerminalPortNumber);
        const auto failure = port.open();
        if (held >= 0) ::close(held);
        QVERIFY(failure.has_value());
        QCOMPARE(QString::fromStdU16String(failure->reason), reason.replace("%1", QString::number(QCoreApplication::applicationPid())));
    }

    void a_message_naming_a_long_path_wraps_it_in_the_box() {
        Form1 form;
        form.show();
        BoxConfirmer boxes;
        bool fits = false;
        boxes.may_confirm = [&] {
            const auto* label = QApplication::activeModalWidget()->findChild<QLabel*>("qt_msgbox_label");
            fits = label->minimumSizeHint().width() <= label->width() && label->heightForWidth(label->width()) <= label->height();
            return true;
        };
        const QString message = "端末ポート（/tmp/" + QString(240, u'n') + "）を開けません：装置が見つかりません";
        form.message_box(message.toStdU16String());
        QVERIFY(fits);
        QCOMPARE(boxes.seen.at(0).text.remove(QChar(0x200B)), message);
    }

    void the_entry_fields_keep_a_long_paste_whole() {
        Form1 form;
        for (const auto& [name, control, text] : {std::tuple{"Text3", Control::Text3, QString(40000, u'7')},
                                                  std::tuple{"Text6", Control::Text6, QString(32768, u'A')}}) {
            QApplication::clipboard()->setText(text);
            QTest::keyClick(form.findChild<QLineEdit*>(QLatin1String(name)), Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(QString::fromStdU16String(form.text(control)), text);
        }
    }

    // A pty has no parity to get wrong, but it marks as a UART driver does: 0xFF comes
    // doubled under the marking, and must still arrive as one byte.
    void bytes_in_error_are_marked_and_a_ff_still_arrives_as_one_ff() {
        QTemporaryDir dir;
        FarSide far(dir.filePath("line"), true);
        qputenv("MIRVANE_PORT1", far.path().toLocal8Bit());
        QtSerialPort port;
        configure_port(port, kTerminalPortNumber);
        Bytes got;
        port.on_comm = [&] {
            const Bytes bytes = port.input();
            got.insert(got.end(), bytes.begin(), bytes.end());
        };
        QVERIFY(!port.open().has_value());
        termios settings{};
        QCOMPARE(::tcgetattr(far.device_end(), &settings), 0);
        QCOMPARE(settings.c_iflag & (INPCK | PARMRK | IGNPAR | ISTRIP), tcflag_t(INPCK | PARMRK));
        far.write({0xFF, 0x41, 0xFF, 0xFF, 0x00, 0xFF});
        QVERIFY(QTest::qWaitFor([&] { return got.size() >= 6; }));
        QTest::qWait(50);
        QCOMPARE(got, (Bytes{0xFF, 0x41, 0xFF, 0xFF, 0x00, 0xFF}));
    }

    // Last: an exit ends the test's event loops' future runs as it ends the program's.
    void an_exit_on_a_held_line_ends_within_its_wait_and_a_second_exit_sends_nothing() {
        for (const bool released_during_wait : {false, true}) {
            ProgramOnPtys rig;
            rig.click("Command1");
            rig.click("Command4");
            QCOMPARE(rig.terminal.wait_for(2), (Bytes{0xA7, 0xEB}));
            rig.hold(true);
            QTimer::singleShot(200, &rig.form(), [&] { rig.click("Command2"); });
            if (released_during_wait) QTimer::singleShot(400, &rig.form(), [&] { rig.hold(false); });
            QTimer::singleShot(4000, &rig.form(), [&] { rig.hold(false); });  // for a wait without end
            QElapsedTimer exit;
            exit.start();
            rig.click("Command2");
            QVERIFY2(exit.elapsed() < 2500, qPrintable(QString::number(exit.elapsed())));
            QVERIFY(rig.mirvane->state.ended);
            rig.hold(false);
            QTest::qWait(100);
            QCOMPARE(rig.terminal.received(), released_during_wait ? (Bytes{0xA7, 0xEB, 0xA6}) : (Bytes{0xA7, 0xEB}));
        }
    }
};

}  // namespace mirvane::qt::testing

QTEST_MAIN(mirvane::qt::testing::RobustTest)
#include "robust_test.moc"
