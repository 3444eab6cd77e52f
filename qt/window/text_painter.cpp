#include "qt/window/text_painter.h"

#include <QAbstractEventDispatcher>
#include <QAbstractTextDocumentLayout>
#include <QEvent>
#include <QFontMetricsF>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <algorithm>
#include <cmath>

#include "qt/window/receive_pane.h"
#include "qt/window/utf16.h"

namespace mirvane::qt {

namespace {

// The core breaks lines with CR LF; a Qt text document takes CR, LF and CR LF alike as one
// break between blocks, so CR LF is shown as LF and a lone CR as LF too. The rule lives
// here alone: a stretch of the core's text is measured in the document by its display, its
// length and its LFs.
QString for_display(std::u16string_view text) {
    QString shown = qstring(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QChar(u'\r'), QChar(u'\n'));
    return shown;
}

std::u16string from_display(const QString& shown) {
    QString text = shown;
    text.replace(QChar(u'\n'), QStringLiteral("\r\n"));
    return text.toStdU16String();
}

// How many lines come in front of rows whose pixels the pane can keep: in an unwrapped pane
// whose view is at the top, whole lines put in front move the rows shown down, and only the
// new rows need drawing. Zero where a full paint is needed: wrapped text, a view scrolled
// down, a first line edited in place, lines taken off the end that were in view.
int lines_in_front_of_kept_rows(const QPlainTextEdit& pane, int top_line, const PaneChange& change,
                                const QString& fresh, const QString& back) {
    if (pane.lineWrapMode() != QPlainTextEdit::NoWrap || top_line != 0 || change.cut_front != 0) return 0;
    const int lines = static_cast<int>(fresh.count(u'\n'));
    if (lines == 0 || !fresh.endsWith(u'\n')) return 0;
    const qreal row = QFontMetricsF(pane.document()->defaultFont()).lineSpacing();
    const int rows_in_view = static_cast<int>(std::ceil(pane.viewport()->height() / row)) + 1;
    const int rows_left = pane.document()->blockCount() - static_cast<int>(back.count(u'\n'));
    return rows_left > rows_in_view ? lines : 0;
}

// The height of the first `lines` rows, when it is whole pixels: a picture moved by a
// fraction would not be the one a full paint draws.
int whole_pixels_of_rows(const QPlainTextEdit& pane, int lines) {
    const QAbstractTextDocumentLayout& layout = *pane.document()->documentLayout();
    qreal height = 0;
    QTextBlock block = pane.document()->firstBlock();
    for (int i = 0; i < lines && block.isValid(); ++i, block = block.next()) {
        height += layout.blockBoundingRect(block).height();
    }
    return height == std::floor(height) ? static_cast<int>(height) : 0;
}

// The pane's first `count` lines keep their glyphs once shaped. A text document's lines
// shape their text to lay it out and let the glyphs go, and shape it again at every paint
// that touches them, the line moved down by a new entry in front the same as a new one;
// a log's line is kept and drawn again as the log moves until it leaves the end.
void keep_shapes(QPlainTextEdit& pane, int count) {
    QTextBlock block = pane.document()->firstBlock();
    for (int i = 0; i < count && block.isValid(); ++i, block = block.next()) block.layout()->setCacheEnabled(true);
}

// Makes the pane show the core's text as `change` describes it from `shown`, the core's text
// the pane shows now, in undo-free edits. The view keeps what it showed: at the top it stays
// at the top, where the newest line is; scrolled down, it moves with the lines added or
// removed above.
//
// A pane of one paragraph (the received bytes) is changed in one edit, laid out once. In a
// pane of lines (the log) the end and the front are edited apart: as one edit, the change
// would run from the first line to the last, and every line would be laid out again at the
// next paint. Its layout's own repaints are held back, being of the whole view: lines in
// front of a view at the top move the picture down and draw only the new rows, one row of
// text instead of every row in view.
void draw_change(QPlainTextEdit& pane, std::u16string_view shown, const PaneChange& change) {
    const QString front = for_display(shown.substr(0, change.cut_front));
    const QString back = for_display(shown.substr(shown.size() - change.cut_back));
    const QString fresh = for_display(change.fresh);
    QScrollBar& bar = *pane.verticalScrollBar();
    const int top_line = bar.value();
    const bool paragraph = pane.document()->blockCount() == 1;
    const int lines = paragraph ? 0 : lines_in_front_of_kept_rows(pane, top_line, change, fresh, back);
    QAbstractTextDocumentLayout& layout = *pane.document()->documentLayout();
    const QSizeF size_before = layout.documentSize();

    {
        const QSignalBlocker whole_view(paragraph ? nullptr : &layout);
        // Each part is an edit block of its own, nested in one for a paragraph: outside one,
        // every move of the cursor lays out the line it lands on to find its x, a line that
        // the edit then changes or that is out of view.
        QTextCursor edit(pane.document());
        if (paragraph) edit.beginEditBlock();
        if (!back.isEmpty()) {
            edit.beginEditBlock();
            edit.movePosition(QTextCursor::End);
            edit.setPosition(edit.position() - static_cast<int>(back.size()), QTextCursor::KeepAnchor);
            edit.removeSelectedText();
            edit.endEditBlock();
        }
        edit.beginEditBlock();
        edit.setPosition(0);
        edit.setPosition(static_cast<int>(front.size()), QTextCursor::KeepAnchor);
        if (fresh.isEmpty()) {
            edit.removeSelectedText();
        } else {
            edit.insertText(fresh);
        }
        edit.endEditBlock();
        if (paragraph) edit.endEditBlock();
    }
    if (!paragraph) {
        if (const int shift = lines > 0 ? whole_pixels_of_rows(pane, lines) : 0; shift > 0) {
            pane.viewport()->scroll(0, shift);
            // The margin above the first row moved down with it, into the new rows' place.
            const int margin = static_cast<int>(std::ceil(pane.document()->documentMargin()));
            pane.viewport()->update(0, 0, pane.viewport()->width(), shift + margin + 1);
        } else {
            pane.viewport()->update();
        }
        // What the held-back layout would have told the scroll bars, if anything: a full
        // log takes a line off the end for each one in front and keeps its size, and the
        // scroll bars would be measured again for nothing.
        if (const QSizeF size = layout.documentSize(); size != size_before) emit layout.documentSizeChanged(size);
    }

    const auto breaks = [](const QString& text) { return static_cast<int>(text.count(u'\n')); };
    keep_shapes(pane, breaks(fresh) + 2);
    bar.setValue(top_line == 0 ? 0 : top_line + breaks(fresh) - breaks(front));
}

// The pane's text replaced by `text` in one edit of the document it has, the view going to
// the top. setPlainText() would also reset the document and put the caret back with a
// cursor that lays out the line it lands on, a sixth more work for a full log. The caret
// goes where the edits of a change take it too, along with the text put in front of it.
void draw_whole(QPlainTextEdit& pane, const QString& text) {
    QTextCursor edit(pane.document());
    edit.beginEditBlock();
    edit.select(QTextCursor::Document);
    if (text.isEmpty()) {
        edit.removeSelectedText();
    } else {
        edit.insertText(text);
    }
    edit.endEditBlock();
    pane.verticalScrollBar()->setValue(0);
}

}  // namespace

TextPainter::TextPainter(QObject* parent) : QObject(parent) {
    paint_timer_.setSingleShot(true);
    paint_timer_.setTimerType(Qt::PreciseTimer);
    connect(&paint_timer_, &QTimer::timeout, this, &TextPainter::paint_in_time);
    if (const QAbstractEventDispatcher* const loop = QAbstractEventDispatcher::instance()) {
        connect(loop, &QAbstractEventDispatcher::awake, this, [this] { turn_timed_ = false; });
        turns_known_ = true;
    }
}

void TextPainter::add_line_box(Control control, QLineEdit& line) {
    TextBox& box = boxes_[control];
    box_of_[static_cast<std::size_t>(control)] = &box;
    box.line = &line;
    box.text = line.text().toStdU16String();
    connect(&line, &QLineEdit::textEdited, this,
            [this, control](const QString& typed) { boxes_[control].text = typed.toStdU16String(); });
    line.installEventFilter(this);
}

void TextPainter::add_pane(Control control, QPlainTextEdit& pane) {
    TextBox& box = boxes_[control];
    box_of_[static_cast<std::size_t>(control)] = &box;
    box.pane = &pane;
    box.text = from_display(pane.toPlainText());
    connect(&pane, &QPlainTextEdit::textChanged, this, [this, pane = &pane, control] {
        if (painting_) return;
        // The operator typed into the pane: it reads what was typed until the logic sets it
        // again, and is then drawn whole, its text being no base any more.
        TextBox& typed_into = boxes_[control];
        typed_into.text = from_display(pane->toPlainText());
        typed_into.typed = true;
        typed_into.draw_whole = true;
    });
    pane.viewport()->installEventFilter(this);
    pane.installEventFilter(this);
}

TextPainter::TextBox* TextPainter::text_box(Control control) { return box_of_[static_cast<std::size_t>(control)]; }

const TextPainter::TextBox* TextPainter::text_box(Control control) const {
    return box_of_[static_cast<std::size_t>(control)];
}

void TextPainter::set_text(Control control, std::u16string_view text) {
    TextBox* box = text_box(control);
    if (box == nullptr) return;
    box->text.assign(text);
    box->source = nullptr;
    box->stale = true;
    ++changes_since_paint_;
    schedule_painting();
}

std::u16string TextPainter::text(Control control) const {
    const TextBox* box = text_box(control);
    if (box == nullptr) return {};
    if (box->source != nullptr && !box->typed) return std::u16string(box->source->view());
    return box->text;
}

void TextPainter::show_pane(Control control, PaneText& pane) {
    TextBox* box = text_box(control);
    if (box == nullptr || box->pane == nullptr) return;
    box->source = &pane;
    box->typed = false;
    box->stale = true;
    ++changes_since_paint_;
    schedule_painting();
}

void TextPainter::set_frame(int ms) { frame_ms_ = std::max(0, ms); }

void TextPainter::schedule_painting() {
    // A burst brings thousands of changes in one turn; the clock need be read once a turn.
    if (paint_at_once_ || turn_timed_) return;
    turn_timed_ = turns_known_;
    const qint64 since = since_paint_.isValid() ? since_paint_.elapsed() : frame_ms_;
    if (since >= frame_ms_) {
        // Sooner than a change that waits for its frame: this one can wait for nothing.
        paint_timer_.start(0);
        paint_at_once_ = true;
    } else if (!paint_timer_.isActive()) {
        // A frame from this change, not from the last paint: a byte that comes before then
        // and a frame after the last paint is painted at once and takes this one along, in
        // a turn the line woke the program for anyway.
        paint_timer_.start(frame_ms_);
    }
}

bool TextPainter::paint_coming() const {
    return paint_timer_.isActive() && !paint_at_once_ && since_paint_.isValid() && since_paint_.elapsed() < frame_ms_;
}

void TextPainter::paint_in_time() {
    // Hundreds of changes at once are a burst, and the rest of it is seconds' worth of
    // paints coming in a few milliseconds: it is painted once it pauses, a frame after it
    // began at the latest, rather than at its first read and then all again.
    const bool burst = paint_at_once_ ? changes_since_paint_ > kBurstChanges : burst_began_.isValid();
    if (burst && changes_since_paint_ != changes_seen_ &&
        (!burst_began_.isValid() || burst_began_.elapsed() < frame_ms_)) {
        if (!burst_began_.isValid()) burst_began_.start();
        changes_seen_ = changes_since_paint_;
        paint_at_once_ = false;
        paint_timer_.start(kBurstPauseMs);
        return;
    }
    paint();
}

void TextPainter::paint() {
    if (take_waiting_) take_waiting_();
    changes_since_paint_ = changes_seen_ = 0;
    burst_began_.invalidate();
    paint_timer_.stop();
    paint_at_once_ = false;
    turn_timed_ = false;
    since_paint_.start();
    painting_ = true;
    for (auto& [control, box] : boxes_) {
        if (!box.stale) continue;
        box.stale = false;
        if (box.source != nullptr) {
            const PaneChange change = box.source->take_change();
            // A pane that draws its text itself and cannot draw this one has first given its
            // document what it drew, which the change is then applied to.
            auto* const drawn = dynamic_cast<ReceivePane*>(box.pane);
            if (drawn == nullptr || !drawn->draw(change.text)) {
                if (change.whole || box.draw_whole) {
                    draw_whole(*box.pane, for_display(change.text));
                    keep_shapes(*box.pane, box.pane->blockCount());
                } else {
                    draw_change(*box.pane, box.shown, change);
                }
            }
            box.shown.assign(change.text);
            box.draw_whole = false;
        } else if (box.pane != nullptr) {
            box.pane->setPlainText(for_display(box.text));
        } else {
            box.line->setText(qstring(box.text));
        }
    }
    painting_ = false;
}

bool TextPainter::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::InputMethod:
        case QEvent::MouseButtonPress:
        case QEvent::Drop:
            if (paint_timer_.isActive()) paint();
            break;
        default: break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace mirvane::qt
