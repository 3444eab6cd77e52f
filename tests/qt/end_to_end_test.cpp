// End to end: the real window and serial binding, offscreen, against the simulated handset.
// mirvane-sim runs this program as it runs Mirvane, giving it the two lines and a reception
// level of 7 (see CMakeLists.txt), and ends with its exit status. The operator's clicks go to
// the window's buttons; what the log pane and the labels show is read back from the widgets.

#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include "qt/support/boxes.h"
#include "qt/window/qt_program.h"
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
        const auto click = [](QWidget* button) { QTest::mouseClick(button, Qt::LeftButton); };
        click(form.control_widget(Control::Command1));
        QTRY_VERIFY(form.caption(Control::Label1) == u"受信レベル：7");
        // Lift, dial 5 and 3, dial complete, put down.
        click(form.control_widget(Control::Command4)), click(form.keypad_button(5)), click(form.keypad_button(3));
        click(form.control_widget(Control::Command6)), click(form.control_widget(Control::Command4));
        const auto* pane = qobject_cast<QPlainTextEdit*>(form.control_widget(Control::Text2));
        QTRY_VERIFY(pane->toPlainText().contains(u"待受"));
        QTest::qWait(200);  // nothing further may arrive

        // Oldest first and without time stamps, the commands as tapped apart from the statuses,
        // each without its empty columns. Which of a command and its answer, a byte time apart on
        // two lines, is read first depends on how busy the machine is; the simulator's own tests
        // hold both to the line's pace.
        QStringList log = pane->toPlainText().remove(QRegularExpression("\\[[\\d:]+\\] ")).split('\n');
        std::reverse(log.begin(), log.end());
        QCOMPARE(
            log.filter(QRegularExpression("^__")).replaceInStrings("__ __ __ __ ", "").join('|'),
            QStringLiteral(
                "A7 : 受話器を上げる|EB : 発番号表示|95 : Dial [5]|93 : Dial [3]|86 : ダイヤル完了|A6 : 受話器をおく"));
        QCOMPARE(
            log.filter(QRegularExpression("^[^_]")).replaceInStrings(" __ __ __ __", "").join('|'),
            QStringLiteral(
                "C7 : 受信レベル [7]|A7 : 通話中表示ON|21 : トーン種別 [1:発信音]|95 : ダイヤル [5]|93 : ダイヤル [3]|"
                "AA : ダイヤル完了|20 : トーン種別 [0:トーンOFF]|A6 : 通話中表示OFF|AF : 待受"));
        QVERIFY(boxes.seen.empty());
    }
};

QTEST_MAIN(EndToEnd)
#include "end_to_end_test.moc"
