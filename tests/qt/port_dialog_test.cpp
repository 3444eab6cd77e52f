// The ports a person picks from before the window: their order and labels, what is
// preselected, and the pick remembered for the next run.

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "qt/window/port_dialog.h"

namespace mirvane::qt {
namespace {

class PortDialogTest : public QObject {
    Q_OBJECT

    QTemporaryDir folder_;
    QString dev_;
    QString by_id_;
    QList<PortEntry> entries_;

    // What the system would say of the fake devices, in no particular order.
    QList<PortFacts> facts() const {
        return {{dev_ + "/ttyUSB0", "FT232R USB UART", "FTDI", "A10K"},
                {dev_ + "/ttyS0", {}, {}, {}},
                {dev_ + "/ttyUSB1", "USB Serial", {}, {}},
                {dev_ + "/ttyACM0", "Modem", "Maker C", "7"}};
    }

private slots:
    void initTestCase() {
        QVERIFY(folder_.isValid());
        // Settings go to a folder of the test's own, read afresh by every QSettings.
        qputenv("XDG_CONFIG_HOME", folder_.filePath("config").toLocal8Bit());
        const QDir root(folder_.path());
        QVERIFY(root.mkpath("dev") && root.mkpath("by-id"));
        dev_ = root.filePath("dev");
        by_id_ = root.filePath("by-id");
        for (const char* device : {"ttyUSB0", "ttyUSB1", "ttyS0"}) {
            QFile file(dev_ + '/' + device);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        const std::pair<const char*, const char*> links[] = {{"usb-Maker_B-if00-port0", "ttyUSB0"},
                                                             {"usb-Maker_A-if00-port0", "../dev/ttyUSB1"},
                                                             {"usb-Gone-if00-port0", "ttyUSB9"}};
        for (const auto& [name, target] : links) {
            const QString to = QString::fromLatin1(target).startsWith("..") ? target : dev_ + '/' + target;
            QVERIFY(QFile::link(to, by_id_ + '/' + name));
        }
        entries_ = order_ports(facts(), by_id_);
    }

    void stable_names_come_first_with_what_each_port_is_then_the_rest_by_device() {
        const QString a = by_id_ + "/usb-Maker_A-if00-port0", b = by_id_ + "/usb-Maker_B-if00-port0";
        const QList<std::pair<QString, QString>> expected = {
            {a, a + " → " + dev_ + "/ttyUSB1  (description: USB Serial)"},
            {b, b + " → " + dev_ + "/ttyUSB0  (description: FT232R USB UART, manufacturer: FTDI, serial number: A10K)"},
            {dev_ + "/ttyACM0", dev_ + "/ttyACM0  (description: Modem, manufacturer: Maker C, serial number: 7)"},
            {dev_ + "/ttyS0", dev_ + "/ttyS0"}};
        QCOMPARE(entries_.size(), expected.size());
        for (qsizetype i = 0; i < expected.size(); ++i) {
            QCOMPARE(entries_[i].device, expected[i].first);
            QCOMPARE(entries_[i].label, expected[i].second);
        }
        QCOMPARE(order_ports(facts(), folder_.filePath("no-such-folder")).first().device, dev_ + "/ttyACM0");
    }

    void the_pick_is_remembered_and_preselected_on_the_next_run() {
        const auto devices = [](const PortDialog& dialog) {
            return std::pair(dialog.terminal_box()->currentData().toString(),
                             dialog.monitor_box()->currentData().toString());
        };
        PortDialog first(entries_, {}, remembered_pick());
        // Nothing remembered yet: two adapters, one line each.
        QCOMPARE(devices(first), std::pair(entries_[0].device, entries_[1].device));
        QCOMPARE(first.monitor_box()->itemData(0).toString(), QStringLiteral("none"));
        first.terminal_box()->setCurrentIndex(2);
        first.monitor_box()->setCurrentIndex(0);
        QVERIFY(first.ok_button()->isEnabled());
        QTest::mouseClick(first.ok_button(), Qt::LeftButton);
        QCOMPARE(first.result(), int(QDialog::Accepted));
        remember_pick(first.pick());
        QFile file(folder_.filePath("config/Mirvane/Mirvane.conf"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString kept = QString::fromUtf8(file.readAll());
        QVERIFY2(kept.contains("terminal=" + entries_[2].device) && kept.contains("monitor=none"), qPrintable(kept));

        PortDialog second(entries_, {}, remembered_pick());
        QCOMPARE(devices(second), std::pair(entries_[2].device, QStringLiteral("none")));
    }

    void one_device_cannot_be_both_lines_even_under_two_names() {
        // The terminal line named outright, its stable name offered for the monitor line.
        PortDialog dialog(entries_, {dev_ + "/ttyUSB0", {}}, {});
        QVERIFY(dialog.terminal_box() == nullptr);
        dialog.monitor_box()->setCurrentIndex(2);  // usb-Maker_B, which leads to ttyUSB0
        QVERIFY(!dialog.ok_button()->isEnabled());
        dialog.monitor_box()->setCurrentIndex(1);
        QVERIFY(dialog.ok_button()->isEnabled());
        QCOMPARE(dialog.pick().terminal, QString());
        QCOMPARE(dialog.pick().monitor, by_id_ + "/usb-Maker_A-if00-port0");
    }

    void a_session_takes_the_pick_for_the_lines_not_named_and_cancel_changes_nothing() {
        const auto answer = [](bool accept) {
            QTimer::singleShot(0, [accept] {
                auto* dialog = dynamic_cast<PortDialog*>(QApplication::activeModalWidget());
                QVERIFY(dialog && dialog->terminal_box() == nullptr);
                dialog->monitor_box()->setCurrentIndex(0);
                accept ? dialog->accept() : dialog->reject();
            });
        };
        Session session;
        session.terminal_device = "/dev/x";
        session.monitor_device = "/dev/y";
        session.terminal_named = true;
        answer(false);
        QVERIFY(!pick_session_ports(session));
        QCOMPARE(session.monitor_device, QStringLiteral("/dev/y"));
        answer(true);
        QVERIFY(pick_session_ports(session));
        QCOMPARE(std::pair(session.terminal_device, session.monitor_device),
                 std::pair(QStringLiteral("/dev/x"), QStringLiteral("none")));
        session.monitor_named = true;
        QVERIFY(pick_session_ports(session));  // both named: nothing is asked
    }
};

}  // namespace
}  // namespace mirvane::qt

QTEST_MAIN(mirvane::qt::PortDialogTest)
#include "port_dialog_test.moc"
