// A pane brought up to a new text by editing only what differs: whatever the old and new
// texts, the document ends up reading exactly the new one; the panes' own ways of moving
// (an item in front, the oldest off the end) cost a few characters, not the whole text;
// and the view stays where the operator left it.

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <random>

#include "shell/qt/pane_edit.h"

namespace mirvane::qt::testing {

namespace {

// What the document holds, one character per position, breaks between lines as '\n'.
QString document_text(const QPlainTextEdit& pane) {
    QString text = pane.document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QChar(u'\n'));
    return text;
}

// The line at the top of the view, as the operator sees it.
QString top_line(const QPlainTextEdit& pane) { return pane.cursorForPosition(QPoint(2, 2)).block().text(); }

// A pane as the window makes one, showing `text`.
struct Pane {
    explicit Pane(const QString& text, QPlainTextEdit::LineWrapMode wrap = QPlainTextEdit::NoWrap) {
        widget.document()->setUndoRedoEnabled(false);
        widget.setLineWrapMode(wrap);
        widget.resize(460, 170);
        widget.setPlainText(text);
        shown = text;
    }
    void bring_to(const QString& wanted) {
        bring_pane_to(widget, shown, wanted);
        shown = wanted;
    }
    QPlainTextEdit widget;
    QString shown;
};

// The message log as the window shows it: `count` lines, entry `newest` on top.
QString log_text(int newest, int count) {
    QStringList lines;
    for (int entry = newest; entry > newest - count && entry >= 0; --entry) {
        lines << QStringLiteral("AD 31 32 33 %1 : [10:15:%2] 網情報 123%3")
                     .arg(entry % 100, 2, 10, QChar(u'0'))
                     .arg(entry % 60, 2, 10, QChar(u'0'))
                     .arg(entry % 10);
    }
    return lines.join(u'\n');
}

// The receive ring as shown: `count` codes, byte `newest` first, of a repeating status mix.
QString ring_text(int newest, int count) {
    static const char* const kMix[] = {"80", "81", "C3", "21", "AD", "31", "32", "33", "34", "00"};
    QStringList codes;
    for (int byte = newest; byte > newest - count && byte >= 0; --byte) codes << QLatin1String(kMix[byte % 10]);
    return codes.join(u' ');
}

// Text over an alphabet that has what panes and typing can hold: line breaks, spaces,
// hexadecimal digits, Japanese, and a character outside the basic plane (two code units).
QString random_text(std::mt19937& random, int longest) {
    static const QString kAlphabet = QStringLiteral("0123456789ABCDEF _:[]\n網情報受話器😀");
    const int length = std::uniform_int_distribution<int>(0, longest)(random);
    QString text;
    while (text.size() < length) {
        const qsizetype at = std::uniform_int_distribution<qsizetype>(0, kAlphabet.size() - 1)(random);
        if (kAlphabet[at].isLowSurrogate()) continue;
        text += kAlphabet[at];
        if (kAlphabet[at].isHighSurrogate()) text += kAlphabet[at + 1];
    }
    return text;
}

// A new text made from an old one the way texts change: pieces cut, inserted, moved.
QString mutated(std::mt19937& random, const QString& old) {
    QString text = old;
    const int steps = std::uniform_int_distribution<int>(1, 4)(random);
    for (int i = 0; i < steps; ++i) {
        const qsizetype at = std::uniform_int_distribution<qsizetype>(0, text.size())(random);
        switch (std::uniform_int_distribution<int>(0, 3)(random)) {
            case 0: text.insert(at, random_text(random, 20)); break;
            case 1: text.remove(at, std::uniform_int_distribution<int>(0, 30)(random)); break;
            case 2: text.prepend(random_text(random, 40)); text.chop(std::min<qsizetype>(text.size(), 30)); break;
            default: text.remove(0, std::uniform_int_distribution<int>(0, 40)(random)); text += random_text(random, 40); break;
        }
    }
    return text;
}

}  // namespace

class PaneEditTest : public QObject {
    Q_OBJECT

private slots:
    void any_text_becomes_any_other_exactly() {
        std::mt19937 random(20240611);
        for (const auto wrap : {QPlainTextEdit::NoWrap, QPlainTextEdit::WidgetWidth}) {
            Pane pane(QString(), wrap);
            for (int step = 0; step < 1500; ++step) {
                const QString wanted = step % 3 == 0 ? random_text(random, 300) : mutated(random, pane.shown);
                pane.bring_to(wanted);
                QCOMPARE(document_text(pane.widget), wanted);
                QCOMPARE(pane.widget.toPlainText(), wanted);
            }
        }
    }

    void kept_runs_match_and_never_split_a_character() {
        std::mt19937 random(7);
        for (int step = 0; step < 3000; ++step) {
            const QString shown = random_text(random, 200);
            const QString wanted = step % 2 == 0 ? mutated(random, shown) : random_text(random, 200);
            qsizetype shown_after = 0;
            qsizetype wanted_after = 0;
            for (const KeptRun& run : runs_to_keep(shown, wanted)) {
                QVERIFY(run.length > 0);
                QVERIFY(run.shown_at >= shown_after && run.wanted_at >= wanted_after);
                QCOMPARE(QStringView(shown).mid(run.shown_at, run.length),
                         QStringView(wanted).mid(run.wanted_at, run.length));
                QVERIFY(!shown[run.shown_at].isLowSurrogate());
                QVERIFY(!shown[run.shown_at + run.length - 1].isHighSurrogate());
                shown_after = run.shown_at + run.length;
                wanted_after = run.wanted_at + run.length;
            }
        }
    }

    // The shapes the panes really take, and what each may cost at most in characters.
    void the_panes_own_moves_replace_only_what_moved_data() {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("wanted");
        QTest::addColumn<qsizetype>("at_most");
        const qsizetype line = log_text(250, 1).size() + 1;
        QTest::newRow("log: one entry in front, the oldest off the end")
            << log_text(249, 200) << log_text(250, 200) << 2 * line;
        QTest::newRow("log: five entries in one turn") << log_text(245, 200) << log_text(250, 200) << 10 * line;
        QTest::newRow("log: still filling") << log_text(20, 21) << log_text(21, 22) << line;
        QTest::newRow("log: an empty slot's bare first line gone")
            << QStringLiteral(" : \n") + log_text(249, 199) << log_text(250, 200) << 3 * line;
        QTest::newRow("ring: one byte in front, the oldest off the end") << ring_text(999, 200) << ring_text(1000, 200)
                                                                         << qsizetype(6);
        QTest::newRow("ring: a repeating mix, 37 bytes in one turn") << ring_text(963, 200) << ring_text(1000, 200)
                                                                     << qsizetype(2 * 37 * 3);
        QTest::newRow("ring: still filling") << ring_text(10, 11) << ring_text(11, 12) << qsizetype(3);
        QTest::newRow("digits dialled: one more at the end") << QStringLiteral("0312") << QStringLiteral("03124")
                                                             << qsizetype(1);
    }
    void the_panes_own_moves_replace_only_what_moved() {
        QFETCH(QString, shown);
        QFETCH(QString, wanted);
        QFETCH(qsizetype, at_most);
        const std::vector<KeptRun> runs = runs_to_keep(shown, wanted);
        QVERIFY2(replaced_characters(shown, wanted, runs) <= at_most,
                 qPrintable(QString::number(replaced_characters(shown, wanted, runs))));
        Pane pane(shown);
        pane.bring_to(wanted);
        QCOMPARE(document_text(pane.widget), wanted);
    }

    void a_view_at_the_top_stays_there_with_the_caret_before_the_newest_item() {
        Pane pane(log_text(100, 101));
        pane.widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pane.widget));
        QCOMPARE(pane.widget.verticalScrollBar()->value(), 0);
        for (int newest = 101; newest < 140; ++newest) {
            pane.bring_to(log_text(newest, 101));
            QCOMPARE(pane.widget.verticalScrollBar()->value(), 0);
            QCOMPARE(pane.widget.textCursor().position(), 0);
            QCOMPARE(top_line(pane.widget), log_text(newest, 1));
        }
    }

    void a_view_scrolled_down_keeps_showing_the_same_lines() {
        Pane pane(log_text(100, 101));
        pane.widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pane.widget));
        pane.widget.verticalScrollBar()->setValue(30);
        const QString reading = top_line(pane.widget);
        for (int newest = 101; newest < 110; ++newest) {
            pane.bring_to(log_text(newest, 101));
            QCOMPARE(top_line(pane.widget), reading);
        }
    }
};

}  // namespace mirvane::qt::testing

QTEST_MAIN(mirvane::qt::testing::PaneEditTest)
#include "pane_edit_test.moc"
