#include "qt/window/text_painter.h"

#include <QEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <algorithm>

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

// Makes the pane show the core's text as `change` describes it from `shown`, the core's text
// the pane shows now, in one undo-free edit. The view keeps what it showed: at the top it
// stays at the top, where the newest line is; scrolled down, it moves with the lines added
// or removed above.
void draw_change(QPlainTextEdit& pane, std::u16string_view shown, const PaneChange& change) {
    const QString front = for_display(shown.substr(0, change.cut_front));
    const QString back = for_display(shown.substr(shown.size() - change.cut_back));
    const QString fresh = for_display(change.fresh);
    QScrollBar& bar = *pane.verticalScrollBar();
    const int top_line = bar.value();

    QTextCursor edit(pane.document());
    edit.beginEditBlock();
    if (!back.isEmpty()) {
        edit.movePosition(QTextCursor::End);
        edit.setPosition(edit.position() - static_cast<int>(back.size()), QTextCursor::KeepAnchor);
        edit.removeSelectedText();
    }
    edit.setPosition(0);
    edit.setPosition(static_cast<int>(front.size()), QTextCursor::KeepAnchor);
    if (fresh.isEmpty()) {
        edit.removeSelectedText();
    } else {
        edit.insertText(fresh);
    }
    edit.endEditBlock();

    const auto breaks = [](const QString& text) { return static_cast<int>(text.count(u'\n')); };
    bar.setValue(top_line == 0 ? 0 : top_line + breaks(fresh) - breaks(front));
}

}  // namespace

TextPainter::TextPainter(QObject* parent) : QObject(parent) {
    paint_timer_.setSingleShot(true);
    paint_timer_.setTimerType(Qt::PreciseTimer);
    connect(&paint_timer_, &QTimer::timeout, this, &TextPainter::paint);
}

void TextPainter::add_line_box(Control control, QLineEdit& line) {
    TextBox& box = boxes_[control];
    box.line = &line;
    box.text = line.text().toStdU16String();
    connect(&line, &QLineEdit::textEdited, this,
            [this, control](const QString& typed) { boxes_[control].text = typed.toStdU16String(); });
    line.installEventFilter(this);
}

void TextPainter::add_pane(Control control, QPlainTextEdit& pane) {
    TextBox& box = boxes_[control];
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

TextPainter::TextBox* TextPainter::text_box(Control control) {
    const auto it = boxes_.find(control);
    return it == boxes_.end() ? nullptr : &it->second;
}

const TextPainter::TextBox* TextPainter::text_box(Control control) const {
    const auto it = boxes_.find(control);
    return it == boxes_.end() ? nullptr : &it->second;
}

void TextPainter::set_text(Control control, std::u16string_view text) {
    TextBox* box = text_box(control);
    if (box == nullptr) return;
    box->text.assign(text);
    box->source = nullptr;
    box->stale = true;
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
    schedule_painting();
}

void TextPainter::set_frame(int ms) { frame_ms_ = std::max(0, ms); }

void TextPainter::schedule_painting() {
    if (paint_timer_.isActive()) return;
    const qint64 since = since_paint_.isValid() ? since_paint_.elapsed() : frame_ms_;
    paint_timer_.start(static_cast<int>(std::max<qint64>(0, frame_ms_ - since)));
}

void TextPainter::paint() {
    paint_timer_.stop();
    since_paint_.start();
    painting_ = true;
    for (auto& [control, box] : boxes_) {
        if (!box.stale) continue;
        box.stale = false;
        if (box.source != nullptr) {
            const PaneChange change = box.source->take_change();
            if (change.whole || box.draw_whole) {
                box.pane->setPlainText(for_display(change.text));
            } else {
                draw_change(*box.pane, box.shown, change);
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
