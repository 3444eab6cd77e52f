// The window on Qt Widgets: built as designed, clicks reaching the core, text boxes, the
// message box and the runtime operations. The lines are fakes here; the real lines are
// driven in qt_serial_port_test and program_test.

#include <QAbstractScrollArea>
#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QElapsedTimer>
#include <QTest>
#include <QTime>
#include <memory>
#include <random>

#include "link/comm_events.h"
#include "logs/receive_ring.h"
#include "monitor/monitor_decoder.h"
#include "shell/qt/fonts.h"
#include "shell/qt/form1.h"
#include "shell/startup.h"
#include "support/boxes.h"
#include "support/fake_serial_port.h"

namespace mirvane::qt::testing {

namespace {

// A line that carries every byte at once, so that sends return after one yield.
class InstantPort final : public mirvane::testing::FakeSerialPort {
public:
    using FakeSerialPort::FakeSerialPort;
    void output(std::span<const std::uint8_t> bytes) override {
        FakeSerialPort::output(bytes);
        drain();
    }
};

// The window after Main, on fake lines.
struct Rig {
    SharedState state;
    InstantPort terminal{u"/dev/ttyS0"};
    InstantPort monitor{u"/dev/ttyS1"};
    Form1 form;
    Program program{state, form, terminal, monitor};

    Rig() {
        form.attach(program);
        Main(program);
    }

    template <typename Widget = QWidget>
    Widget* find(const char* name) {
        auto* widget = form.findChild<Widget*>(QString::fromLatin1(name));
        if (widget == nullptr) qFatal("no control %s", name);
        return widget;
    }
    void click(const char* name) { QTest::mouseClick(find<QPushButton>(name), Qt::LeftButton); }
    QPlainTextEdit* pane(const char* name) { return find<QPlainTextEdit>(name); }
    // Runs the event loop until every text box shows what was last set in it.
    bool wait_painted();
};

// The design, in twips, as the window's table gives it; captions as they read after load.
struct Expected {
    const char* name;
    int index;
    const char* kind;
    std::u16string caption;
    int left, top, width, height;
    const char* family;
    double points;
    int tab_index;
};

const std::vector<Expected> kDesign = {
    {"Command1", 0, "QPushButton", u"端末通信開始", 360, 6120, 855, 735, "IPAPGothic", 9, 5},
    {"Command2", 0, "QPushButton", u"終了", 360, 7320, 855, 735, "IPAPGothic", 9, 6},
    {"Command3", 0, "QPushButton", u"番号ダイヤル", 5400, 5880, 1455, 495, "IPAPGothic", 9, 10},
    {"Command4", 0, "QPushButton", u"受話器を上げる", 5400, 6720, 1455, 495, "IPAPGothic", 9, 11},
    {"Command6", 0, "QPushButton", u"ダイヤル完了", 3720, 6720, 1335, 495, "IPAPGothic", 9, 24},
    {"Command7", 0, "QPushButton", u"情報表示消去", 5040, 4680, 1935, 400, "IPAPGothic", 9, 27},
    {"Command8", 0, "QPushButton", u"HEXコード送信", 5400, 7560, 1455, 495, "IPAPGothic", 9, 29},
    {"Command5", 1, "QPushButton", u"1", 1800, 6120, 375, 375, "IPAPGothic", 11.25, 12},
    {"Command5", 2, "QPushButton", u"2", 2280, 6120, 375, 375, "IPAPGothic", 11.25, 13},
    {"Command5", 3, "QPushButton", u"3", 2760, 6120, 375, 375, "IPAPGothic", 11.25, 14},
    {"Command5", 4, "QPushButton", u"4", 1800, 6600, 375, 375, "IPAPGothic", 11.25, 15},
    {"Command5", 5, "QPushButton", u"5", 2280, 6600, 375, 375, "IPAPGothic", 11.25, 16},
    {"Command5", 6, "QPushButton", u"6", 2760, 6600, 375, 375, "IPAPGothic", 11.25, 17},
    {"Command5", 7, "QPushButton", u"7", 1800, 7080, 375, 375, "IPAPGothic", 11.25, 18},
    {"Command5", 8, "QPushButton", u"8", 2280, 7080, 375, 375, "IPAPGothic", 11.25, 19},
    {"Command5", 9, "QPushButton", u"9", 2760, 7080, 375, 375, "IPAPGothic", 11.25, 20},
    {"Command5", 10, "QPushButton", u"0", 2280, 7560, 375, 375, "IPAPGothic", 11.25, 21},
    {"Command5", 11, "QPushButton", u"*", 1800, 7560, 375, 375, "IPAPGothic", 11.25, 22},
    {"Command5", 12, "QPushButton", u"#", 2760, 7560, 375, 375, "IPAPGothic", 11.25, 23},
    {"Text1", 0, "QPlainTextEdit", u"", 120, 480, 6975, 1095, "IPAGothic", 9, 4},
    {"Text2", 0, "QPlainTextEdit", u"", 120, 1920, 6975, 2655, "IPAGothic", 9, 7},
    {"Text3", 0, "QLineEdit", u"", 3720, 6050, 1455, 300, "IPAPGothic", 9.75, 8},
    {"Text4", 0, "QPlainTextEdit", u"", 120, 5160, 6975, 495, "IPAPGothic", 9, 25},
    {"Text6", 0, "QLineEdit", u"", 3720, 7695, 1335, 300, "IPAPGothic", 9, 28},
    {"Label1", 0, "QLabel", u"受信レベル：", 4680, 240, 1815, 255, "IPAPGothic", 9, 0},
    {"Label2", 0, "QLabel", u"Tone ：", 2280, 240, 1215, 255, "IPAPGothic", 9, 1},
    {"Label3", 0, "QLabel", u"RS-232C 受信", 240, 240, 1455, 255, "IPAPGothic", 9, 2},
    {"Label4", 0, "QLabel", u"RS-232C 送受信情報", 240, 1680, 2175, 375, "IPAPGothic", 9, 3},
    {"Label5", 0, "QLabel", u"電話番号", 3840, 5800, 735, 375, "IPAPGothic", 9, 9},
    {"Label6", 0, "QLabel", u"Dial データ", 240, 4920, 1215, 375, "IPAPGothic", 9, 26},
    {"Label7", 0, "QLabel", u"HEX Code", 3720, 7485, 1095, 255, "IPAPGothic", 9, 30},
};

QRect pixels(int left, int top, int width, int height) {
    return {left / 15, top / 15, width / 15, height / 15};
}

QWidget* control(Form1& form, const Expected& row) {
    for (QWidget* widget : form.findChildren<QWidget*>(QString::fromLatin1(row.name))) {
        if (row.index == 0 || widget->property("index").toInt() == row.index) return widget;
    }
    return nullptr;
}

std::u16string shown_text(QWidget* widget) {
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text().toStdU16String();
    if (auto* label = qobject_cast<QLabel*>(widget)) return label->text().toStdU16String();
    if (auto* line = qobject_cast<QLineEdit*>(widget)) return line->text().toStdU16String();
    if (auto* pane = qobject_cast<QPlainTextEdit*>(widget)) return pane->toPlainText().toStdU16String();
    return {};
}

// What a pane's document holds, character for character, each line break as '\n'.
QString shown(const QPlainTextEdit* pane) {
    QString text = pane->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QChar(u'\n'));
    return text;
}

// A text as a pane shows it: CR LF, and a CR or LF alone, each break a line.
QString displayed(const std::u16string& text) {
    QString shown = QString::fromStdU16String(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QChar(u'\r'), QChar(u'\n'));
    return shown;
}

bool Rig::wait_painted() {
    return QTest::qWaitFor([&] {
        for (const auto& [name, control] : {std::pair("Text1", Control::Text1), std::pair("Text2", Control::Text2),
                                            std::pair("Text4", Control::Text4)}) {
            if (shown(pane(name)) != displayed(form.text(control))) return false;
        }
        return find<QLineEdit>("Text3")->text().toStdU16String() == form.text(Control::Text3) &&
               find<QLineEdit>("Text6")->text().toStdU16String() == form.text(Control::Text6);
    });
}

// A byte's code, as the receive pane shows it.
std::u16string hex_code(int byte) {
    constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    return {kDigits[(byte >> 4) & 0xF], kDigits[byte & 0xF]};
}

bool is_fixed_pitch(const QFont& font) {
    const QFontMetrics metrics(font);
    const int advance = metrics.horizontalAdvance(QLatin1Char('0'));
    for (const QChar ch : QStringLiteral("0123456789ABCDEF _:[]Wi")) {
        if (metrics.horizontalAdvance(ch) != advance) return false;
    }
    return true;
}

}  // namespace

class Form1Test : public QObject {
    Q_OBJECT

private slots:
    void the_window_matches_its_design() {
        Rig rig;
        QCoreApplication::processEvents();
        for (const Expected& row : kDesign) {
            const QString where = QStringLiteral("%1(%2)").arg(QLatin1String(row.name)).arg(row.index);
            QWidget* widget = control(rig.form, row);
            QVERIFY2(widget != nullptr, qPrintable(where));
            QVERIFY2(widget->inherits(row.kind), qPrintable(where));
            QCOMPARE(widget->geometry(), pixels(row.left, row.top, row.width, row.height));
            QCOMPARE(shown_text(widget), row.caption);
            QCOMPARE(widget->font().family(), QString::fromLatin1(row.family));
            QCOMPARE(widget->font().pointSizeF(), row.points);
        }
        QCOMPARE(rig.form.findChildren<QPushButton*>(QStringLiteral("Command5")).size(), 12);
    }

    void the_panes_scroll_as_designed() {
        Rig rig;
        const auto bars = [&](const char* name) {
            QPlainTextEdit* pane = rig.pane(name);
            return std::pair(pane->verticalScrollBarPolicy(), pane->horizontalScrollBarPolicy());
        };
        QCOMPARE(bars("Text1"), std::pair(Qt::ScrollBarAlwaysOn, Qt::ScrollBarAlwaysOff));
        QCOMPARE(bars("Text2"), std::pair(Qt::ScrollBarAlwaysOn, Qt::ScrollBarAlwaysOn));
        QCOMPARE(bars("Text4"), std::pair(Qt::ScrollBarAlwaysOn, Qt::ScrollBarAlwaysOff));
        // Long log lines run off to the right rather than breaking.
        QCOMPARE(rig.pane("Text2")->lineWrapMode(), QPlainTextEdit::NoWrap);
        for (const char* name : {"Text1", "Text2", "Text4"}) QVERIFY(!rig.pane(name)->isReadOnly());
    }

    void the_window_has_its_caption_a_fixed_client_area_no_menu_and_focus_at_Text1() {
        Rig rig;
        QVERIFY(QTest::qWaitForWindowExposed(&rig.form));
        QCOMPARE(rig.form.windowTitle(), QStringLiteral("Mirvane (Ver1.1a)"));
        QCOMPARE(rig.form.size(), QSize(491, 554));
        QCOMPARE(rig.form.minimumSize(), rig.form.maximumSize());
        QVERIFY(rig.form.findChildren<QMenuBar*>().isEmpty());
        QCOMPARE(rig.form.focusWidget(), rig.find("Text1"));
        QCOMPARE(rig.form.font().family(), QStringLiteral("IPAPGothic"));
        QCOMPARE(rig.form.font().pointSizeF(), 11.25);
    }

    void after_start_up_only_start_exit_and_clear_can_be_pressed() {
        Rig rig;
        QStringList enabled;
        for (QPushButton* button : rig.form.findChildren<QPushButton*>()) {
            if (button->isEnabled()) enabled << button->objectName();
        }
        enabled.sort();
        QCOMPARE(enabled, QStringList({"Command1", "Command2", "Command7"}));
        QVERIFY(rig.find("Text3")->isEnabled());
        QVERIFY(rig.find("Text6")->isEnabled());
    }

    void the_tab_key_visits_the_controls_in_design_order() {
        Rig rig;
        std::vector<const Expected*> focusable;
        for (const Expected& row : kDesign) {
            if (std::string_view(row.kind) != "QLabel") focusable.push_back(&row);
        }
        std::sort(focusable.begin(), focusable.end(),
                  [](const Expected* a, const Expected* b) { return a->tab_index < b->tab_index; });
        QWidget* at = rig.find("Text1");
        for (std::size_t i = 0; i < focusable.size(); ++i) {
            QCOMPARE(at, control(rig.form, *focusable[i]));
            do {
                at = at->nextInFocusChain();
            } while (!(at->focusPolicy() & Qt::TabFocus) || at->isWindow());
        }
        QCOMPARE(at, rig.find("Text1"));  // and round again
    }

    void the_traffic_panes_are_fixed_pitch_even_without_the_gothic() {
        Rig rig;
        QVERIFY(is_fixed_pitch(rig.pane("Text1")->font()));
        QVERIFY(is_fixed_pitch(rig.pane("Text2")->font()));
        const QFont stand_in = fixed_pitch_font(QStringLiteral("No Such Gothic"), 9.0);
        QVERIFY(is_fixed_pitch(stand_in));
        QCOMPARE(stand_in.pointSizeF(), 9.0);
        // The proportional fields are not: the check above can tell the difference.
        QVERIFY(!is_fixed_pitch(rig.find("Label4")->font()));
    }

    // The panes lay text out without a shaping pass, for speed; what they show must not
    // change for it, for any kind of text they hold.
    void the_traffic_panes_skip_shaping_and_look_the_same_for_it() {
        Rig rig;
        const QString text = QStringLiteral(
            "AD 31 32 33 34 : [10:15:01] 網情報 1234\n80 __ __ __ __ : [10:15:01] 圏外表示OFF\n"
            "21 __ __ __ __ : [10:15:01] トーン種別 [1:ダイヤルトーン]\n88 00 __ __ __ : ハンズフリー OFF\n"
            "__ __ __ __ A7 : [10:15:02] 受話器を上げる\n80 81 C3 21 AD 31 32 33 34 00 FF 0A");
        for (const char* name : {"Text1", "Text2"}) {
            QFont shaped = rig.pane(name)->font();
            QVERIFY(shaped.styleStrategy() & QFont::PreferNoShaping);
            shaped.setStyleStrategy(QFont::StyleStrategy(shaped.styleStrategy() & ~QFont::PreferNoShaping));
            QImage looks[2];
            for (int i = 0; i < 2; ++i) {
                QPlainTextEdit pane;
                pane.setLineWrapMode(rig.pane(name)->lineWrapMode());
                pane.resize(rig.pane(name)->size());
                pane.setFont(i == 0 ? rig.pane(name)->font() : shaped);
                pane.setPlainText(text);
                looks[i] = pane.grab().toImage();
            }
            QCOMPARE(looks[0], looks[1]);
        }
    }

    void the_frames_lie_behind_the_controls_and_let_clicks_through() {
        Rig rig;
        const struct {
            const char* name;
            QRect rect;
        } frames[] = {{"Shape1", pixels(1560, 6000, 1815, 2055)},
                      {"Shape4", pixels(3600, 5760, 3495, 735)},
                      {"Shape3", pixels(3600, 7440, 3495, 735)}};
        for (const auto& frame : frames) {
            QWidget* shape = rig.find(frame.name);
            QCOMPARE(shape->geometry(), frame.rect);
            QCOMPARE(shape->focusPolicy(), Qt::NoFocus);
            QVERIFY(shape->testAttribute(Qt::WA_TransparentForMouseEvents));
        }
        QCOMPARE(rig.form.childAt(rig.form.keypad_button(5)->geometry().center()),
                 rig.form.keypad_button(5));
        QCOMPARE(rig.form.childAt(rig.find("Text3")->geometry().center()), rig.find("Text3"));
        QCOMPARE(rig.form.childAt(rig.find("Command8")->geometry().center()), rig.find("Command8"));
    }

    void presses_reach_their_handlers_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("hex");
        QTest::addColumn<std::vector<std::uint8_t>>("line");
        const std::uint8_t keys[] = {0x91, 0x92, 0x93, 0x94, 0x95, 0x96,
                                     0x97, 0x98, 0x99, 0x9A, 0x9B, 0x9C};
        for (int index = 1; index <= 12; ++index) {
            QTest::addRow("keypad %d", index) << "Command5" << index << "" << ""
                                              << std::vector<std::uint8_t>{keys[index - 1]};
        }
        QTest::newRow("number") << "Command3" << 0 << "1#0" << "" << std::vector<std::uint8_t>{0x91, 0x9C, 0x9A};
        QTest::newRow("hook") << "Command4" << 0 << "" << "" << std::vector<std::uint8_t>{0xA7, 0xEB};
        QTest::newRow("dial complete") << "Command6" << 0 << "" << "" << std::vector<std::uint8_t>{0x86};
        QTest::newRow("hex codes") << "Command8" << 0 << "" << "0aFF" << std::vector<std::uint8_t>{0x0A, 0xFF};
    }
    void presses_reach_their_handlers() {
        QFETCH(QString, button);
        QFETCH(int, index);
        QFETCH(QString, number);
        QFETCH(QString, hex);
        QFETCH(std::vector<std::uint8_t>, line);
        Rig rig;
        rig.click("Command1");
        QVERIFY(rig.terminal.is_open());
        QVERIFY(rig.monitor.is_open());
        QTest::keyClicks(rig.find("Text3"), number);
        QTest::keyClicks(rig.find("Text6"), hex);
        QPushButton* pressed = index == 0 ? rig.find<QPushButton>(button.toLatin1().constData())
                                          : rig.form.keypad_button(index);
        QTest::mouseClick(pressed, Qt::LeftButton);
        QCOMPARE(rig.terminal.line, line);
        QCOMPARE(rig.terminal.misuses, 0);
    }

    void start_stop_clear_and_exit_reach_their_handlers() {
        Rig rig;
        rig.click("Command1");
        QCOMPARE(rig.form.caption(Control::Command1), u"端末通信終了");
        QVERIFY(rig.form.keypad_button(12)->isEnabled());

        rig.form.set_text(Control::Text2, u"__ __ __ __ A7 : [10:00:00] 受話器を上げる");
        rig.click("Command7");
        QCOMPARE(rig.form.text(Control::Text2), u"");

        rig.click("Command1");
        QVERIFY(!rig.terminal.is_open());
        QVERIFY(!rig.monitor.is_open());
        QVERIFY(!rig.form.keypad_button(12)->isEnabled());

        rig.click("Command2");
        QVERIFY(rig.state.ended);
        QVERIFY(!rig.form.isVisible());
        QVERIFY(rig.terminal.line.empty());
    }

    void closing_the_window_closes_the_terminal_line_and_sends_nothing() {
        Rig rig;
        rig.click("Command1");
        rig.click("Command4");
        rig.terminal.line.clear();
        QVERIFY(rig.form.close());
        QVERIFY(!rig.terminal.is_open());
        QVERIFY(rig.monitor.is_open());  // released with the program, not here
        QVERIFY(rig.terminal.line.empty());
    }

    void a_text_box_reads_back_what_was_set_at_once_and_shows_it_once_painted() {
        Rig rig;
        QVERIFY(rig.wait_painted());
        const std::u16string log = u"A5 __ __ __ __ : [10:00:00] 着信表示ON\r\n80 __ __ __ __ : [09:59:59] 圏外表示OFF";
        rig.form.set_text(Control::Text2, log);
        QCOMPARE(rig.form.text(Control::Text2), log);
        QCOMPARE(rig.pane("Text2")->toPlainText(), QString());
        QVERIFY(rig.wait_painted());
        QCOMPARE(rig.pane("Text2")->toPlainText(),
                 QStringLiteral("A5 __ __ __ __ : [10:00:00] 着信表示ON\n80 __ __ __ __ : [09:59:59] 圏外表示OFF"));
        QCOMPARE(rig.form.text(Control::Text2), log);

        rig.form.set_text(Control::Text6, u"A7");
        QCOMPARE(rig.form.text(Control::Text6), u"A7");
        QVERIFY(rig.wait_painted());
        QCOMPARE(rig.find<QLineEdit>("Text6")->text(), QStringLiteral("A7"));
    }

    // After a quiet spell the next turn paints, once for any number of sets; a turn with
    // nothing set paints nothing.
    void after_a_quiet_spell_a_burst_of_sets_is_painted_once_at_the_next_turn() {
        Rig rig;
        QVERIFY(rig.wait_painted());
        int ring_paints = 0;
        int log_paints = 0;
        connect(rig.pane("Text1"), &QPlainTextEdit::textChanged, [&] { ++ring_paints; });
        connect(rig.pane("Text2"), &QPlainTextEdit::textChanged, [&] { ++log_paints; });
        std::u16string ring;
        std::u16string log;
        for (int burst = 1; burst <= 2; ++burst) {
            QTest::qWait(Form1::kLongestPaintSpacingMs);
            for (int i = 0; i < 1000; ++i) {
                ring = hex_code(burst * 16 + i % 10) + (ring.empty() ? u"" : u" " + ring.substr(0, 597));
                rig.form.set_text(Control::Text1, ring);
                if (i % 3 == 0) {
                    log = hex_code(burst) + u" __ __ __ __ : [10:00:00] 圏外表示OFF" + (log.empty() ? u"" : u"\r\n" + log.substr(0, 4000));
                    rig.form.set_text(Control::Text2, log);
                }
            }
            QCoreApplication::processEvents();
            QCOMPARE(ring_paints, burst);
            QCOMPARE(log_paints, burst);
            QCOMPARE(shown(rig.pane("Text1")), displayed(ring));
            QCOMPARE(shown(rig.pane("Text2")), displayed(log));
            QCoreApplication::processEvents();
            QCOMPARE(ring_paints, burst);
        }
    }

    // Sets turn after turn: the paints spread out, each space at least double the one
    // before up to the longest, and the last text is shown soon after the sets stop. After
    // a quiet spell the next stream starts at the quick end again.
    void a_steady_stream_of_sets_is_painted_at_a_spreading_cadence() {
        Rig rig;
        QVERIFY(rig.wait_painted());
        std::vector<qint64> paints;
        QElapsedTimer clock;
        connect(rig.pane("Text1"), &QPlainTextEdit::textChanged, [&] { paints.push_back(clock.elapsed()); });
        std::u16string ring;
        for (int stream = 1; stream <= 2; ++stream) {
            QTest::qWait(Form1::kLongestPaintSpacingMs);
            paints.clear();
            clock.start();
            for (int i = 0; clock.elapsed() < 1500; ++i) {
                ring = hex_code(i) + (ring.empty() ? u"" : u" " + ring.substr(0, 597));
                rig.form.set_text(Control::Text1, ring);
                QTest::qWait(2);
            }
            QVERIFY2(paints.size() >= 5 && paints.size() <= 12, qPrintable(QString::number(paints.size())));
            QVERIFY(paints[0] <= 50);                                         // the next turn
            QVERIFY(paints[1] - paints[0] < Form1::kLongestPaintSpacingMs - 100);  // quick at first
            int spacing = Form1::kFirstPaintSpacingMs;
            for (std::size_t k = 1; k < paints.size(); ++k) {
                QVERIFY2(paints[k] - paints[k - 1] >= spacing - 1,
                         qPrintable(QStringLiteral("paint %1 after %2 ms").arg(k).arg(paints[k] - paints[k - 1])));
                spacing = std::min(2 * spacing, Form1::kLongestPaintSpacingMs);
            }
            QVERIFY(rig.wait_painted());
            QCOMPARE(shown(rig.pane("Text1")), displayed(ring));
        }
    }

    // Whatever is set, however often per turn, the pane shows the last text once painted,
    // and reading the box gives it back at once. Painting at every turn here, to look at
    // the pane after each.
    void a_pane_shows_exactly_the_last_text_set_after_any_sequence_of_sets() {
        Rig rig;
        rig.form.set_paint_spacing(0, 0);
        QCoreApplication::processEvents();
        std::mt19937 random(612);
        const std::u16string pieces[] = {u"AD 31 32 33 34", u" : ", u"[10:15:01] 網情報 1234", u"\r\n",
                                         u"80", u" ", u"__", u"😀", u"受話器をおく", u"\r\n\r\n"};
        for (const Control control : {Control::Text1, Control::Text2, Control::Text4}) {
            const char* name = control == Control::Text1 ? "Text1" : control == Control::Text2 ? "Text2" : "Text4";
            std::u16string text;
            for (int turn = 0; turn < 300; ++turn) {
                const int sets = std::uniform_int_distribution<int>(1, 4)(random);
                for (int i = 0; i < sets; ++i) {
                    std::u16string piece;
                    for (int n = std::uniform_int_distribution<int>(0, 12)(random); n > 0; --n) {
                        piece += pieces[std::uniform_int_distribution<std::size_t>(0, std::size(pieces) - 1)(random)];
                    }
                    switch (std::uniform_int_distribution<int>(0, 3)(random)) {
                        case 0: text = piece; break;
                        case 1: text = piece + text.substr(0, text.size() / 2 + 7); break;
                        case 2: text = text.substr(std::min(text.size(), piece.size())) + piece; break;
                        default: text.insert(text.size() / 3, piece); break;
                    }
                    rig.form.set_text(control, text);
                    QCOMPARE(rig.form.text(control), text);
                }
                QCoreApplication::processEvents();
                QCOMPARE(shown(rig.pane(name)), displayed(text));
            }
        }
    }

    // The panes as a line in use drives them, at the window's own cadence: a byte or an
    // entry in front and the oldest off the end, several per turn, wrapping past the
    // rings' size, cleared now and then. Every paint shows exactly the last render.
    void the_panes_show_exactly_the_renders_of_a_line_in_use() {
        Rig rig;
        rig.click("Command1");
        int paints = 0;
        int wrong = 0;
        for (const auto& [name, control] : {std::pair("Text1", Control::Text1), std::pair("Text2", Control::Text2)}) {
            QPlainTextEdit* pane = rig.pane(name);
            connect(pane, &QPlainTextEdit::textChanged, [&, pane, control = control] {
                ++paints;
                if (shown(pane) != displayed(rig.form.text(control))) ++wrong;
                if (control == Control::Text1 && rig.form.text(control) != render_receive_pane(rig.state)) ++wrong;
            });
        }
        std::mt19937 random(1106);
        const std::uint8_t mix[] = {0x80, 0x81, 0xC3, 0x21, 0xAD, 0x31, 0x32, 0x33, 0x34, 0x00};
        std::size_t at = 0;
        for (int turn = 0; turn < 400; ++turn) {
            const int bytes = std::uniform_int_distribution<int>(1, turn % 50 == 49 ? 300 : 12)(random);
            for (int i = 0; i < bytes; ++i) {
                rig.terminal.received.push_back(turn % 7 == 3 ? std::uint8_t(random()) : mix[at++ % std::size(mix)]);
            }
            rig.terminal.event = comm_event::kReceive;
            MSComm1_OnComm(rig.program);
            if (turn % 5 == 0) {
                rig.monitor.received.push_back(0xA7);
                rig.monitor.event = comm_event::kReceive;
                MSComm2_OnComm(rig.program);
            }
            if (turn % 97 == 96) rig.click("Command7");
            QTest::qWait(std::uniform_int_distribution<int>(0, 8)(random));
        }
        QVERIFY(rig.wait_painted());
        QCOMPARE(shown(rig.pane("Text1")), displayed(render_receive_pane(rig.state)));
        QCOMPARE(shown(rig.pane("Text2")), displayed(rig.form.text(Control::Text2)));
        QVERIFY(rig.form.text(Control::Text2).find(u"網情報 1234") != std::u16string::npos);
        QVERIFY2(paints >= 10, qPrintable(QString::number(paints)));
        QCOMPARE(wrong, 0);
    }

    void what_the_operator_types_is_what_the_logic_reads() {
        Rig rig;
        QVERIFY(rig.wait_painted());
        rig.form.set_text(Control::Text1, u"11 22");
        QVERIFY(rig.wait_painted());
        QTest::keyClicks(rig.pane("Text1"), QStringLiteral("x"));
        QCOMPARE(rig.form.text(Control::Text1), u"x11 22");
        QTest::keyClick(rig.pane("Text1"), Qt::Key_Return);
        QCOMPARE(rig.form.text(Control::Text1), u"x\r\n11 22");

        // Typed right after a set, before the window has painted it: into the new text.
        rig.form.set_text(Control::Text6, u"A");
        QTest::keyClicks(rig.find("Text6"), QStringLiteral("7"));
        QCOMPARE(rig.form.text(Control::Text6), u"A7");
        QVERIFY(rig.wait_painted());
        QCOMPARE(rig.find<QLineEdit>("Text6")->text(), QStringLiteral("A7"));

        // The next set replaces what was typed.
        rig.form.set_text(Control::Text1, u"33");
        QVERIFY(rig.wait_painted());
        QCOMPARE(rig.pane("Text1")->toPlainText(), QStringLiteral("33"));
    }

    void the_message_box_is_critical_with_one_ok_and_waits_for_confirmation() {
        Rig rig;
        BoxConfirmer confirmer;
        rig.form.message_box(u"パリティ エラー");
        QCOMPARE(confirmer.seen.size(), std::size_t(1));
        const SeenBox& box = confirmer.seen[0];
        QCOMPARE(box.text, QStringLiteral("パリティ エラー"));
        QCOMPARE(box.icon, QMessageBox::Critical);
        QCOMPARE(box.buttons, 1);
        QVERIFY(box.modal);
        QCOMPARE(box.title, QGuiApplication::applicationDisplayName());
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
    }

    void yield_runs_what_is_pending_and_returns_when_nothing_is() {
        Rig rig;
        bool ran = false;
        QMetaObject::invokeMethod(&rig.form, [&] { ran = true; }, Qt::QueuedConnection);
        rig.form.yield();
        QVERIFY(ran);
        // Nothing pending: the yield still comes back (a hang here ends in the time limit).
        QCoreApplication::processEvents();
        for (int i = 0; i < 50; ++i) rig.form.yield();
    }

    void the_time_of_day_is_local_hh_mm_ss() {
        Rig rig;
        const QString now = QString::fromStdU16String(rig.form.time_of_day());
        QVERIFY2(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d$")).match(now).hasMatch(), qPrintable(now));
        const QTime read = QTime::fromString(now, QStringLiteral("hh:mm:ss"));
        QVERIFY(read.isValid());
        const int apart = std::abs(read.secsTo(QTime::currentTime()));
        QVERIFY(apart <= 2 || apart >= 86398);  // across midnight

        // Read again a second later: the clock has moved on with the time.
        QTest::qWait(1100);
        const QString later = QString::fromStdU16String(rig.form.time_of_day());
        QVERIFY(later != now);
        const int behind = std::abs(QTime::fromString(later, QStringLiteral("hh:mm:ss")).secsTo(QTime::currentTime()));
        QVERIFY(behind <= 1 || behind >= 86399);
    }
};

}  // namespace mirvane::qt::testing

QTEST_MAIN(mirvane::qt::testing::Form1Test)
#include "form1_test.moc"
