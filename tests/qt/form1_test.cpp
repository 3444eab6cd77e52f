// The window on Qt Widgets: the panes showing what the core rendered, the message box and
// the runtime operations, mostly in the whole program on pseudo-terminals. Its close box is
// the exit's road, driven in qt_program_test.

#include <QApplication>
#include <QBackingStore>
#include <QClipboard>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStyleFactory>
#include <QTime>
#include <memory>
#include <random>
#include <tuple>

#include "decode/status_decoder.h"
#include "monitor/monitor_decoder.h"
#include "qt/window/fonts.h"
#include "qt/window/receive_pane.h"
#include "qt/window/scroll_bar_style.h"
#include "support/fake_serial_port.h"
#include "support/program_rig.h"
#include "support/reference_panes.h"

namespace mirvane::qt::testing {

using namespace Qt::StringLiterals;

// What the window shows of a widget now: its place in the window's backing store.
QImage on_window(const QWidget& widget) {
    const auto& window = *static_cast<const QImage*>(widget.window()->backingStore()->paintDevice());
    return window.copy(QRect(widget.mapTo(widget.window(), QPoint(0, 0)), widget.size()))
        .convertToFormat(QImage::Format_RGB32);
}

// What the widget draws when painted whole.
QImage painted_whole(QWidget& widget) { return widget.grab().toImage().convertToFormat(QImage::Format_RGB32); }
using enum Control;

class Form1Test : public QObject {
    Q_OBJECT

private slots:
    // Bytes and entries in front, the oldest off the end, clears, and the operator typing
    // into a pane, the window painting at its own cadence: whenever it has painted, each
    // pane shows exactly the plain render, in a face whose every character is as wide as
    // the next, even where the gothic face is not installed. The lines are fakes here, so
    // that the core reads each turn's bytes in that turn.
    void the_panes_show_exactly_what_the_core_rendered_in_a_fixed_pitch() {
        SharedState state;
        mirvane::testing::FakeSerialPort terminal{u"/dev/ttyS0"}, monitor{u"/dev/ttyS1"};
        Form1 form;
        Program program{state, form, terminal, monitor};
        form.attach(program), Main(program);
        const auto fixed_pitch = [](const QFont& font) {
            const QFontMetrics metrics(font);
            return std::ranges::all_of(QStringLiteral("0123456789ABCDEF _:[]Wi"), [&](QChar ch) {
                return metrics.horizontalAdvance(ch) == metrics.horizontalAdvance(u'0');
            });
        };
        QVERIFY(fixed_pitch(form.control_widget(Text1)->font()));
        QVERIFY(fixed_pitch(form.control_widget(Text2)->font()));
        QVERIFY(fixed_pitch(fixed_pitch_font(QStringLiteral("No Such Gothic"), 9.0)));
        QVERIFY(!fixed_pitch(form.control_widget(Label4)->font()));  // the check can tell

        // What a pane shows, each line break as CR LF, as the core writes them.
        form.show();
        const auto painted = [&](Control pane) {
            QWidget* const widget = form.control_widget(pane);
            const auto* drawn = dynamic_cast<ReceivePane*>(widget);
            const QString shown =
                drawn != nullptr ? drawn->shown_text() : static_cast<QPlainTextEdit*>(widget)->toPlainText();
            return QString(shown).replace(u'\n', QStringLiteral("\r\n")).toStdU16String() == form.text(pane);
        };
        form.set_paint_frame(0);  // a paint at every turn of the loop, for the test's pace
        QTest::mouseClick(form.control_widget(Command1), Qt::LeftButton);
        std::mt19937 random(1106);
        for (int turn = 0; turn < 300; ++turn) {
            if (turn % 61 == 60) QTest::keyClicks(form.control_widget(turn % 2 ? Text1 : Text2), "typed");
            for (int i = std::uniform_int_distribution<int>(1, turn % 50 == 49 ? 300 : 12)(random); i > 0; --i) {
                terminal.received.push_back(turn % 7 == 3 ? std::uint8_t(random()) : std::uint8_t(0x80 + i % 2));
            }
            MSComm1_OnComm(program);
            monitor.received.push_back(std::uint8_t(random()));
            MSComm2_OnComm(program);
            if (turn % 97 == 96) QTest::mouseClick(form.control_widget(Command7), Qt::LeftButton);
            if (turn % 3 == 0) QVERIFY(QTest::qWaitFor([&] { return painted(Text1) && painted(Text2); }));
            QCOMPARE(form.text(Text1), mirvane::testing::reference_receive_pane(state));
        }
    }

    // The received bytes are drawn by the pane itself while the operator only watches: the
    // very pixels and scroll bar its document shows for the same codes, however wide the pane.
    // Text that is not codes, or a box too narrow for one, is left to the document.
    void received_codes_are_drawn_as_their_document_shows_them_and_other_text_is_left_to_it() {
        Form1 form;
        form.show();
        auto& pane = *dynamic_cast<ReceivePane*>(form.control_widget(Text1));
        const auto picture = [&] {
            const QScrollBar& bar = *pane.verticalScrollBar();
            return std::tuple(pane.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32), bar.maximum(),
                              bar.pageStep());
        };
        std::mt19937 random(1208);
        QStringList texts{u""_s, u"80"_s, u"0F 1E 2D 3C 4B 5A 69 78 87 96 A5 B4 C3 D2 E1 F0"_s};
        for (const int codes : {24, 25, 49, 200}) {
            QStringList bytes;
            for (int i = 0; i < codes; ++i) bytes << QString::asprintf("%02X", unsigned(random() & 0xFF));
            texts << bytes.join(u' ');
        }
        const int width = pane.width();
        for (const int wide : {width, width - 1, width - 13, 200, 157, 43}) {
            pane.resize(wide, pane.height());
            for (const QString& text : texts) {
                const std::u16string codes = text.toStdU16String();
                QVERIFY2(pane.draw(codes), qPrintable(QStringLiteral("%1 px: %2").arg(wide).arg(text)));
                QCOMPARE(pane.shown_text(), text);
                const auto drawn = picture();
                pane.setPlainText(text);
                QCOMPARE(picture(), drawn);
            }
        }
        pane.resize(width, pane.height());
        // Codes coming in front, one to a few at a paint, the oldest leaving the end: what
        // the window shows is, to the pixel, what drawing the pane whole shows.
        const int height = pane.height();
        pane.resize(width, 180), pane.raise();  // every row in view, the last one too
        QString text = texts[2];
        for (int paint = 0; paint < 90; ++paint) {
            for (int i = 0; i <= paint % 4; ++i) text = QString::asprintf("%02X ", unsigned(random() & 0xFF)) + text;
            text.truncate(std::min<qsizetype>(text.size(), paint % 29 == 28 ? 3 * 150 - 1 : 3 * 200 - 1));
            if (paint % 29 == 14) text.chop(3 * (paint % 4 + 2));  // one code shorter than before
            QVERIFY(pane.draw(text.toStdU16String()));
            QVERIFY(
                QTest::qWaitFor([&] { return on_window(*pane.viewport()) == painted_whole(*pane.viewport()); }, 1000));
        }
        pane.resize(width, height);
        for (const QString& text : {u"Text1"_s, u"80  81"_s, u" 80"_s, u"80 "_s, u"8a"_s, u"80\n81"_s}) {
            pane.setPlainText(u"before"_s);
            QVERIFY(!pane.draw(text.toStdU16String()));
            QCOMPARE(pane.shown_text(), u"before"_s);
        }
        pane.resize(12, pane.height());  // narrower than a code
        QVERIFY(!pane.draw(u"80 81"));
    }

    // The moment the operator reaches into the received bytes, the pane holds them as text:
    // to select and copy, to type into, to scroll back through. While they are in it, bytes
    // go to the document; once they have left, the pane draws them again.
    void reaching_into_the_received_bytes_finds_them_in_the_document() {
        ProgramRig rig;
        auto& pane = *rig.widget<ReceivePane>(Text1);
        rig.click(Command1);
        rig.terminal.write(Bytes(150, 0x80));
        std::size_t codes = 150;
        // The core has read every byte written and the pane shows its text.
        const auto shows_all = [&] {
            return QTest::qWaitFor([&] {
                const std::u16string text = rig.form().text(Text1);
                return text.size() == codes * 3 - 1 && pane.shown_text().toStdU16String() == text;
            });
        };
        QVERIFY(shows_all());
        QVERIFY(pane.toPlainText() != pane.shown_text());  // drawn, the document left alone
        // The focus an activated window hands its first box is no reach of the operator's.
        QFocusEvent activated(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(&pane, &activated);
        rig.terminal.write(Bytes{0x83}), ++codes;
        QVERIFY(shows_all());
        QVERIFY(pane.toPlainText() != pane.shown_text());

        const auto reach = std::vector<std::function<void()>>{
            [&] { QTest::mouseClick(pane.viewport(), Qt::LeftButton); },
            [&] { pane.setFocus(); },
            [&] { pane.verticalScrollBar()->setValue(2); },
        };
        for (const auto& reach_in : reach) {
            rig.widget(Command7)->setFocus();
            pane.verticalScrollBar()->setValue(0);
            rig.terminal.write(Bytes{0x81}), ++codes;
            QVERIFY(shows_all());
            QVERIFY(pane.toPlainText() != pane.shown_text());
            reach_in();
            QCOMPARE(pane.toPlainText(), pane.shown_text());
            rig.terminal.write(Bytes{0x82}), ++codes;
            QVERIFY(shows_all());
            QCOMPARE(pane.toPlainText(), pane.shown_text());
        }
        QCOMPARE(pane.verticalScrollBar()->value(), 2);
    }

    // New entries painted leave the operator where they were: scrolled down to read older
    // entries, they keep seeing them; editing a number, the caret stays where they put it.
    // Entries in front of a view at the top move the rows shown down rather than draw them
    // again: the pane then shows, to the pixel, what drawing it whole shows.
    void a_scrolled_log_keeps_its_lines_in_view_and_a_field_its_caret_as_entries_come() {
        ProgramRig rig;
        auto* log = rig.widget<QPlainTextEdit>(Text2);
        auto* number = rig.widget<QLineEdit>(Text3);
        QTest::keyClicks(number, "123"), number->setCursorPosition(1);
        rig.click(Command1);
        rig.monitor.write(Bytes(100, 0xA7));
        QVERIFY(QTest::qWaitFor([&] { return log->blockCount() == 100; }));
        QTest::keyClicks(number, "9");
        QCOMPARE(number->text(), u"1923"_s);
        for (const auto& [top, entries] : {std::pair(40, 3), std::pair(0, 1), std::pair(0, 2)}) {
            log->verticalScrollBar()->setValue(top);
            const int lines = log->blockCount() + entries;
            rig.monitor.write(Bytes(entries, std::uint8_t(0x90 + entries)));
            QVERIFY(QTest::qWaitFor([&] { return log->blockCount() == lines; }));
            QCOMPARE(log->verticalScrollBar()->value(), top == 0 ? 0 : top + entries);
            QVERIFY(
                QTest::qWaitFor([&] { return on_window(*log->viewport()) == painted_whole(*log->viewport()); }, 1000));
        }
        // Full, the log takes a line off the end for each one in front: its scroll bar is the
        // one the same text set whole has.
        log->verticalScrollBar()->setValue(0);
        rig.monitor.write(Bytes(150, 0xA7));
        QVERIFY(QTest::qWaitFor([&] {
            return log->blockCount() == 200 &&
                   QString(log->toPlainText()).replace(u'\n', u"\r\n"_s).toStdU16String() == rig.form().text(Text2);
        }));
        const auto bar = [&] {
            return std::pair(log->verticalScrollBar()->maximum(), log->verticalScrollBar()->pageStep());
        };
        const auto kept = bar();
        log->setPlainText(log->toPlainText());
        QCOMPARE(log->blockCount(), 200);
        QCOMPARE(kept, bar());
    }

    // A pane drawn whole, as after a clear or when more entries came than the log holds,
    // shows what the same text set whole shows, the view back at the top however far down
    // the operator had scrolled.
    void a_pane_drawn_whole_shows_what_the_text_set_whole_shows() {
        const auto lines = [](int count, const char16_t* word) {
            std::u16string text;
            for (int i = count; i > 0; --i)
                text += word + QString::number(i).toStdU16String() + (i > 1 ? u"\r\n" : u"");
            return text;
        };
        QWidget window;
        QPlainTextEdit drawn(&window), set_whole(&window);
        for (QPlainTextEdit* pane : {&drawn, &set_whole}) {
            // Unfocused, as the operator watching the log leaves it: no caret in the picture.
            pane->setFocusPolicy(Qt::NoFocus), pane->setLineWrapMode(QPlainTextEdit::NoWrap), pane->resize(160, 120);
            pane->setPlainText(QString::fromStdU16String(lines(60, u"older ")).replace(u"\r\n"_s, u"\n"_s));
            pane->verticalScrollBar()->setValue(20);
        }
        set_whole.move(0, 130), window.resize(160, 250), window.show();
        TextPainter painter;
        painter.add_pane(Text2, drawn);
        PaneText text;
        text.append(lines(70, u"newer "));
        painter.show_pane(Text2, text);
        set_whole.setPlainText(QString::fromStdU16String(lines(70, u"newer ")).replace(u"\r\n"_s, u"\n"_s));
        QTRY_COMPARE(drawn.toPlainText(), set_whole.toPlainText());
        QCOMPARE(drawn.verticalScrollBar()->value(), set_whole.verticalScrollBar()->value());
        QCOMPARE(painted_whole(*drawn.viewport()), painted_whole(*set_whole.viewport()));
    }

    // A change a frame or more after the last paint is painted at the end of its turn, with
    // no paint said to be coming; one sooner waits for a paint that is, and every paint first
    // takes in what waited for it.
    void a_paint_set_for_later_is_said_to_be_coming_and_first_takes_in_what_waited() {
        Form1 form;
        form.show();
        form.set_paint_frame(300);
        auto* number = static_cast<QLineEdit*>(form.control_widget(Text3));
        std::vector<QString> shown_when_taken;
        form.before_paint([&] { shown_when_taken.push_back(number->text()); });
        form.set_text(Text3, u"1");
        QVERIFY(!form.paint_coming());
        QTRY_COMPARE(number->text(), u"1"_s);
        form.set_text(Text3, u"12");
        QVERIFY(form.paint_coming());
        QTRY_COMPARE(number->text(), u"12"_s);
        QVERIFY(!form.paint_coming());
        QCOMPARE(shown_when_taken, (std::vector<QString>{u""_s, u"1"_s}));
    }

    // Hundreds of changes due at once are a burst: they are not painted at the end of their
    // turn but once the burst pauses, with the rest of it. A few are painted at the end of
    // their turn.
    void a_burst_of_changes_is_painted_once_it_pauses() {
        Form1 form;
        form.show();
        form.set_paint_frame(1000);
        auto* number = static_cast<QLineEdit*>(form.control_widget(Text3));
        form.set_text(Text3, u"1");
        QTRY_COMPARE(number->text(), u"1"_s);
        QTest::qWait(1050);  // a frame after that paint: what changes next is due at once
        for (int i = 0; i <= TextPainter::kBurstChanges; ++i) form.set_text(Text3, QString::number(i).toStdU16String());
        QCoreApplication::processEvents();  // the end of the turn
        QCOMPARE(number->text(), u"1"_s);
        QTRY_COMPARE_WITH_TIMEOUT(number->text(), QString::number(TextPainter::kBurstChanges), 500);
        QTest::qWait(1050);
        form.set_text(Text3, u"2");
        QCoreApplication::processEvents();
        QCOMPARE(number->text(), u"2"_s);
    }

    // The panes' scroll bars copy their pages from a picture of the plain look: on the window,
    // pixel for pixel what the plain look draws, whatever the bar's place, size and value.
    void the_scroll_bars_show_the_plain_look_to_the_pixel() {
        QWidget window;
        window.resize(240, 240);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        PlainScrollBarStyle copied;
        const std::unique_ptr<QStyle> plain(QStyleFactory::create(u"Windows"_s));
        // clang-format off
        const std::tuple<Qt::Orientation, QRect, int, int, int> bars[] = {
            {Qt::Vertical, {13, 7, 17, 151}, 40, 5, 0},   {Qt::Vertical, {13, 7, 17, 151}, 40, 5, 17},
            {Qt::Vertical, {0, 0, 17, 64}, 3, 2, 3},      {Qt::Horizontal, {5, 170, 201, 17}, 300, 120, 77},
            {Qt::Horizontal, {6, 190, 150, 17}, 0, 10, 0},
        };
        // clang-format on
        for (const auto& [orientation, place, maximum, page, value] : bars) {
            QScrollBar bar(orientation, &window);
            bar.setGeometry(place), bar.setRange(0, maximum), bar.setPageStep(page), bar.setValue(value);
            bar.show();
            const auto drawn_with = [&](QStyle* style) {
                bar.setStyle(style);
                bar.repaint();
                return on_window(bar);
            };
            const QImage expected = drawn_with(plain.get());
            QCOMPARE(drawn_with(&copied), expected);
            QCOMPARE(drawn_with(&copied), expected);  // from the picture kept
            // Anything the bar is drawn from changed, its picture is drawn again.
            bar.setValue(value == 0 ? maximum : 0);
            QCOMPARE(drawn_with(&copied), drawn_with(plain.get()));
            bar.setEnabled(false);
            QCOMPARE(drawn_with(&copied), drawn_with(plain.get()));
        }
    }

    // A device path is one long word: the box breaks it rather than cut it off.
    void a_box_is_critical_with_one_ok_waits_for_confirmation_and_shows_a_long_path_whole() {
        ProgramRig rig;
        const QString path = "/tmp/" + QString(240, u'n');
        rig.start_program({"--terminal-port", path});
        bool fits = false;
        rig.boxes.may_confirm = [&] {
            const auto* label = QApplication::activeModalWidget()->findChild<QLabel*>("qt_msgbox_label");
            return fits = label->minimumSizeHint().width() <= label->width() &&
                          label->heightForWidth(label->width()) <= label->height();
        };
        rig.click(Command1);
        QVERIFY(QTest::qWaitFor([&] { return fits; }));
        QCOMPARE(rig.boxes.seen.size(), qsizetype(1));
        QVERIFY(rig.boxes.all_critical_modal_with_one_button);
        QCOMPARE(rig.boxes.seen[0].remove(QChar(0x200B)),
                 u"端末ポート（"_s + path + u"）を開けません：装置が見つかりません"_s);
    }

    // Enter in the number or the hex code sends it as its button would, and only while the
    // button could be clicked.
    void enter_in_the_number_or_the_hex_code_presses_its_button_when_enabled() {
        ProgramRig rig;
        rig.click(Command1);
        QTest::keyClicks(rig.widget(Text3), u"12"_s), QTest::keyClicks(rig.widget(Text6), u"a7"_s);
        for (const Control button : {Command3, Command8}) rig.widget(button)->setEnabled(false);
        for (const Control field : {Text3, Text6}) QTest::keyClick(rig.widget(field), Qt::Key_Return);
        for (const Control button : {Command3, Command8}) rig.widget(button)->setEnabled(true);
        QTest::keyClick(rig.widget(Text3), Qt::Key_Return);
        QTest::keyClick(rig.widget(Text6), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(rig.terminal.wait_for(3), (Bytes{0x91, 0x92, 0xA7}));
        QTest::qWait(100);
        QCOMPARE(rig.terminal.received().size(), std::size_t(3));
    }

    // A pasted number or hex text arrives whole; and the clock reads local time.
    void the_entry_fields_keep_a_long_paste_whole_and_the_time_of_day_is_local_hh_mm_ss() {
        ProgramRig rig;
        for (auto [control, text] : {std::pair{Text3, QString(40000, u'7')}, std::pair{Text6, QString(32768, u'A')}}) {
            QApplication::clipboard()->setText(text);
            QTest::keyClick(rig.widget(control), Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(QString::fromStdU16String(rig.form().text(control)), text);
        }
        const QTime read = QTime::fromString(QString::fromStdU16String(rig.form().time_of_day()), u"hh:mm:ss");
        QVERIFY(read.isValid());
        QVERIFY(std::abs(read.secsTo(QTime::currentTime())) <= 1);
    }
};

}  // namespace mirvane::qt::testing

QTEST_MAIN(mirvane::qt::testing::Form1Test)
#include "form1_test.moc"
