// The window on Qt Widgets: the panes showing what the core rendered, the close box, the
// message box and the runtime operations. The lines are fakes here; clicks and real lines
// are driven in qt_program_test.

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTest>
#include <QTime>
#include <random>

#include "shell/qt/fonts.h"
#include "shell/qt/form1.h"
#include "support/bench.h"
#include "support/boxes.h"
#include "support/reference_panes.h"

namespace mirvane::qt::testing {

namespace {

struct Rig {
    SharedState state;
    mirvane::testing::FakeSerialPort terminal{u"/dev/ttyS0"};
    mirvane::testing::FakeSerialPort monitor{u"/dev/ttyS1"};
    Form1 form;
    Program program{state, form, terminal, monitor};

    Rig() {
        form.attach(program);
        Main(program);
    }
    template <typename Widget = QPushButton>
    Widget* find(const char* name) {
        return form.findChild<Widget*>(QString::fromLatin1(name));
    }
    void click(const char* name) { QTest::mouseClick(find(name), Qt::LeftButton); }
    // What a pane's document holds, each line break as CR LF, as the core writes them.
    std::u16string shown(const char* pane) {
        return find<QPlainTextEdit>(pane)->toPlainText().replace(QChar(u'\n'), QStringLiteral("\r\n")).toStdU16String();
    }
};

bool is_fixed_pitch(const QFont& font) {
    const QFontMetrics metrics(font);
    const QString sample = QStringLiteral("0123456789ABCDEF _:[]Wi");
    return std::all_of(sample.begin(), sample.end(),
                       [&](QChar ch) { return metrics.horizontalAdvance(ch) == metrics.horizontalAdvance(u'0'); });
}

}  // namespace

class Form1Test : public QObject {
    Q_OBJECT

private slots:
    void closing_the_window_closes_the_terminal_line_alone() {
        Rig rig;
        rig.click("Command1");
        QVERIFY(rig.form.close() && !rig.terminal.is_open() && rig.monitor.is_open());
    }

    // Bytes and entries in front, the oldest off the end, clears, and the operator typing
    // into a pane, the window painting at its own cadence: whenever it has painted, each
    // pane shows exactly the plain render, and reading a box gives back the last text set.
    void the_panes_show_exactly_what_the_core_rendered() {
        Rig rig;
        rig.form.set_paint_spacing(0, 0);  // a paint at every turn of the loop, for the test's pace
        rig.click("Command1");
        std::mt19937 random(1106);
        for (int turn = 0; turn < 300; ++turn) {
            if (turn % 61 == 60) QTest::keyClicks(rig.find<QPlainTextEdit>(turn % 2 ? "Text1" : "Text2"), "typed");
            for (int i = std::uniform_int_distribution<int>(1, turn % 50 == 49 ? 300 : 12)(random); i > 0; --i) {
                rig.terminal.received.push_back(turn % 7 == 3 ? std::uint8_t(random()) : std::uint8_t(0x80 + i % 2));
            }
            MSComm1_OnComm(rig.program);
            rig.monitor.received.push_back(std::uint8_t(random()));
            MSComm2_OnComm(rig.program);
            if (turn % 97 == 96) rig.click("Command7");
            if (turn % 3 == 0) {
                QVERIFY(QTest::qWaitFor([&] { return rig.shown("Text1") == rig.form.text(Control::Text1); }));
                QVERIFY(QTest::qWaitFor([&] { return rig.shown("Text2") == rig.form.text(Control::Text2); }));
            }
            QCOMPARE(rig.form.text(Control::Text1), mirvane::testing::reference_receive_pane(rig.state));
        }
    }

    // Scrolled down to read older entries, the operator keeps seeing them as new ones come.
    void a_scrolled_log_keeps_its_lines_in_view_and_one_at_the_top_stays_at_the_top() {
        Rig rig;
        rig.form.show();
        auto* log = rig.find<QPlainTextEdit>("Text2");
        rig.monitor.received.assign(100, 0xA7);
        MSComm2_OnComm(rig.program);
        QVERIFY(QTest::qWaitFor([&] { return log->blockCount() == 100; }));
        for (const auto& [top, entries] : {std::pair(40, 3), std::pair(0, 1)}) {
            log->verticalScrollBar()->setValue(top);
            const QString line_in_view = log->cursorForPosition({5, 5}).block().text();
            const int lines = log->blockCount() + entries;
            rig.monitor.received.assign(entries, std::uint8_t(0x90 + entries));
            MSComm2_OnComm(rig.program);
            QVERIFY(QTest::qWaitFor([&] { return log->blockCount() == lines; }));
            QCOMPARE(log->verticalScrollBar()->value(), top == 0 ? 0 : top + entries);
            if (top != 0) QCOMPARE(log->cursorForPosition({5, 5}).block().text(), line_in_view);
        }
    }

    void the_traffic_panes_are_fixed_pitch_even_without_the_gothic() {
        Rig rig;
        QVERIFY(is_fixed_pitch(rig.find<QPlainTextEdit>("Text1")->font()));
        QVERIFY(is_fixed_pitch(rig.find<QPlainTextEdit>("Text2")->font()));
        QVERIFY(is_fixed_pitch(fixed_pitch_font(QStringLiteral("No Such Gothic"), 9.0)));
        QVERIFY(!is_fixed_pitch(rig.find<QWidget>("Label4")->font()));  // the check can tell
    }

    // A device path is one long word: the box breaks it rather than cut it off.
    void the_message_box_is_critical_with_one_ok_waits_for_confirmation_and_shows_all() {
        Rig rig;
        BoxConfirmer confirmer;
        const std::u16string path = u"端末ポート（/tmp/" + std::u16string(240, u'n') + u"）を開けません：装置が見つかりません";
        bool fits = false;
        confirmer.may_confirm = [&] {
            const auto* label = QApplication::activeModalWidget()->findChild<QLabel*>("qt_msgbox_label");
            return fits = label->minimumSizeHint().width() <= label->width() && label->heightForWidth(label->width()) <= label->height();
        };
        rig.form.message_box(path);
        QVERIFY(fits && confirmer.seen.size() == 1);
        SeenBox box = confirmer.seen[0];
        QVERIFY(box.icon == QMessageBox::Critical && box.buttons == 1 && box.modal);
        QCOMPARE(box.text.remove(QChar(0x200B)), QString::fromStdU16String(path));
    }

    void the_entry_fields_keep_a_long_paste_whole() {
        Rig rig;
        for (const auto& [name, control, text] : {std::tuple{"Text3", Control::Text3, QString(40000, u'7')},
                                                  std::tuple{"Text6", Control::Text6, QString(32768, u'A')}}) {
            QApplication::clipboard()->setText(text);
            QTest::keyClick(rig.find<QLineEdit>(name), Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(QString::fromStdU16String(rig.form.text(control)), text);
        }
    }

    void the_time_of_day_is_local_hh_mm_ss() {
        Rig rig;
        const QTime read = QTime::fromString(QString::fromStdU16String(rig.form.time_of_day()), u"hh:mm:ss");
        QVERIFY(read.isValid() && std::abs(read.secsTo(QTime::currentTime())) <= 1);
    }
};

}  // namespace mirvane::qt::testing

QTEST_MAIN(mirvane::qt::testing::Form1Test)
#include "form1_test.moc"
