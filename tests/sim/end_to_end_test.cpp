// End to end: the real window and serial binding, offscreen, against the simulated handset.
// mirvane-sim runs this program as it runs Mirvane, giving it the two lines and a reception
// level of 7 (see CMakeLists.txt), and ends with its exit status. The operator's clicks go to
// the window's buttons; what the log pane and the labels show is read back from the widgets.

#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include "qt/support/boxes.h"
#include "shell/qt/qt_program.h"
#include "shell/startup.h"

using namespace mirvane;

class EndToEnd : public QObject {
    Q_OBJECT

private slots:
    void a_call_from_the_window_logs_every_command_and_every_answer_whole_in_order() {
        qt::testing::BoxConfirmer boxes;
        qt::QtProgram mirvane;
        Main(mirvane.program);
        qt::Form1& form = mirvane.window;
        const auto* pane = qobject_cast<QPlainTextEdit*>(form.control_widget(Control::Text2));
        QTest::mouseClick(form.control_widget(Control::Command1), Qt::LeftButton);
        QTRY_VERIFY(form.caption(Control::Label1) == u"受信レベル：7");
        // Lift, dial 5 and 3, dial complete, put down.
        for (QWidget* button : std::initializer_list<QWidget*>{form.control_widget(Control::Command4), form.keypad_button(5), form.keypad_button(3),
                                                               form.control_widget(Control::Command6), form.control_widget(Control::Command4)}) {
            QTest::mouseClick(button, Qt::LeftButton);
        }
        QTRY_VERIFY(pane->toPlainText().contains(u"待受"));
        QTest::qWait(200);  // nothing further may arrive, and the pane shows what was set
        QTRY_VERIFY(pane->toPlainText().replace(u'\n', QStringLiteral("\r\n")).toStdU16String() == form.text(Control::Text2));
        QVERIFY(form.caption(Control::Label2) == u"Tone ： 0");

        // Oldest first and without time stamps; the commands as tapped apart from the statuses.
        // Which of a command and its answer, a byte time apart on two lines, is read first
        // depends on how busy the machine is; the simulator's own tests hold the tap first.
        QStringList log = pane->toPlainText().remove(QRegularExpression(QStringLiteral("\\[\\d\\d:\\d\\d:\\d\\d\\] "))).split(u'\n', Qt::SkipEmptyParts);
        std::reverse(log.begin(), log.end());
        const QStringList commands = QStringLiteral("__ __ __ __ A7 : 受話器を上げる|__ __ __ __ EB : 発番号表示|__ __ __ __ 95 : Dial [5]|"
                                     "__ __ __ __ 93 : Dial [3]|__ __ __ __ 86 : ダイヤル完了|__ __ __ __ A6 : 受話器をおく").split(u'|');
        const QStringList answers = QStringLiteral("C7 __ __ __ __ : 受信レベル [7]|A7 __ __ __ __ : 通話中表示ON|21 __ __ __ __ : トーン種別 [1:発信音]|"
                                    "95 __ __ __ __ : ダイヤル [5]|93 __ __ __ __ : ダイヤル [3]|AA __ __ __ __ : ダイヤル完了|"
                                    "20 __ __ __ __ : トーン種別 [0:トーンOFF]|A6 __ __ __ __ : 通話中表示OFF|AF __ __ __ __ : 待受").split(u'|');
        QCOMPARE(log.filter(QRegularExpression(QStringLiteral("^__"))), commands);
        QCOMPARE(log.filter(QRegularExpression(QStringLiteral("^[^_]"))), answers);
        QVERIFY(boxes.seen.empty());
    }
};

QTEST_MAIN(EndToEnd)
#include "end_to_end_test.moc"
