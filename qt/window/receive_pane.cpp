#include "qt/window/receive_pane.h"

#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

namespace mirvane::qt {

namespace {

// The characters a drawn pane holds, in the order of the glyphs shaped for them.
// The space leads, so that its width is measured too: a line's last spaces have none.
constexpr std::u16string_view kDrawable = u" 0123456789ABCDEF";

int glyph_of(char16_t ch) {
    if (ch >= u'0' && ch <= u'9') return 1 + ch - u'0';
    if (ch >= u'A' && ch <= u'F') return 11 + ch - u'A';
    return ch == u' ' ? 0 : -1;
}

}  // namespace

std::vector<int> code_rows(std::u16string_view text, int columns) {
    std::vector<int> rows{0};
    int width = 0;  // of the row so far, in characters
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = start;
        while (end < text.size() && text[end] != u' ') {
            if (glyph_of(text[end]) <= 0) return {};
            ++end;
        }
        const int length = static_cast<int>(end - start);
        if (length == 0 || length > columns) return {};
        if (start > 0 && width + 1 + length > columns) {
            rows.push_back(static_cast<int>(start));
            width = length;
        } else {
            width += (start > 0 ? 1 : 0) + length;
        }
        if (end == text.size()) break;
        start = end + 1;
        if (start == text.size()) return {};  // a space at the end
    }
    return rows;
}

ReceivePane::ReceivePane(const QString& text, QWidget* parent) : QPlainTextEdit(text, parent) {
    // Anyone else's text goes into the document, which from then on is what the pane shows.
    connect(this, &QPlainTextEdit::textChanged, this, [this] { drawing_ = false; });
}

bool ReceivePane::can_draw() const {
    return !hasFocus() && !textCursor().hasSelection() && verticalScrollBar()->value() == 0 &&
           lineWrapMode() == WidgetWidth && isVisible();
}

const ReceivePane::Face* ReceivePane::face() {
    const QFont font = document()->defaultFont();
    if (measured_font_ != font) {
        measured_font_ = font;
        face_ = measure(font, viewport());
    }
    return face_ ? &*face_ : nullptr;
}

std::optional<ReceivePane::Face> ReceivePane::measure(const QFont& font, QPaintDevice* device) {
    QTextLayout layout(QString::fromStdU16String(std::u16string(kDrawable)), font, device);
    layout.setCacheEnabled(true);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLeadingIncluded(true);
    line.setNumColumns(static_cast<int>(kDrawable.size()));
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns();
    if (runs.size() != 1 || runs[0].glyphIndexes().size() != static_cast<qsizetype>(kDrawable.size())) return std::nullopt;
    // Drawn a glyph a column, the rows are the document's only when every glyph is a column
    // wide in whole pixels, as a fixed-pitch face's are.
    const QList<QPointF> at = runs[0].positions();
    const qreal advance = at[1].x() - at[0].x();
    if (advance <= 0 || advance != std::floor(advance)) return std::nullopt;
    for (qsizetype i = 1; i < at.size(); ++i) {
        if (at[i].x() - at[i - 1].x() != advance || at[i].y() != at[0].y()) return std::nullopt;
    }
    return Face{runs[0], advance, line.ascent(), line.height()};
}

int ReceivePane::columns() const {
    const qreal width = viewport()->width() - 2 * document()->documentMargin();
    return face_ ? static_cast<int>(std::floor(width / face_->advance)) : 0;
}

bool ReceivePane::draw(std::u16string_view text) {
    std::vector<int> rows;
    if (can_draw() && face() != nullptr) rows = code_rows(text, columns());
    if (rows.empty()) {
        hand_over();
        return false;
    }
    text_ = QString::fromStdU16String(std::u16string(text));
    rows_ = std::move(rows);
    drawing_ = true;
    set_scroll_range();
    viewport()->update();
    return true;
}

QString ReceivePane::shown_text() const { return drawing_ ? text_ : toPlainText(); }

void ReceivePane::set_scroll_range() {
    const int lines = static_cast<int>(rows_.size());
    const qreal margin = document()->documentMargin();
    int top_line_max = std::max(0, lines - 1);
    int page = static_cast<int>(viewport()->height() / face_->row_height);
    // The rows whose tops are in view when the last is at the bottom, counted as the text
    // document counts them for its scroll bar.
    const qreal visible = viewport()->height() - margin - 1;
    const qreal height = lines * face_->row_height + margin;
    int first = 0;
    if (height > visible) {
        while (first < lines && first * face_->row_height < height - visible) ++first;
    }
    top_line_max = first;
    page = lines - first;
    QScrollBar& bar = *verticalScrollBar();
    if (bar.maximum() != top_line_max || bar.minimum() != 0) bar.setRange(0, top_line_max);
    if (bar.pageStep() != page) bar.setPageStep(page);
}

void ReceivePane::hand_over() {
    if (!drawing_) return;
    drawing_ = false;
    const QSignalBlocker quiet(this);
    setPlainText(text_);
}

bool ReceivePane::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::FocusIn:
        case QEvent::KeyPress:
        case QEvent::InputMethod: hand_over(); break;
        default: break;
    }
    return QPlainTextEdit::event(event);
}

bool ReceivePane::viewportEvent(QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::ContextMenu:
        case QEvent::DragEnter:
        case QEvent::Drop: hand_over(); break;
        default: break;
    }
    return QPlainTextEdit::viewportEvent(event);
}

void ReceivePane::scrollContentsBy(int dx, int dy) {
    if (!drawing_) return QPlainTextEdit::scrollContentsBy(dx, dy);
    // Away from the newest row the document takes over, at the row the operator chose.
    const int top = verticalScrollBar()->value();
    hand_over();
    verticalScrollBar()->setValue(top);
}

void ReceivePane::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    if (drawing_ && !draw(text_.toStdU16String())) hand_over();
}

void ReceivePane::paintEvent(QPaintEvent* event) {
    if (!drawing_) return QPlainTextEdit::paintEvent(event);
    QPainter painter(viewport());
    painter.setPen(palette().text().color());
    const Face& shape = *face_;
    const qreal margin = document()->documentMargin();
    const QList<quint32> glyphs = shape.glyphs.glyphIndexes();
    QList<quint32> indexes;
    QList<QPointF> positions;
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        const qreal top = margin + static_cast<qreal>(row) * shape.row_height;
        if (top > event->rect().bottom()) break;
        if (top + shape.row_height < event->rect().top()) continue;
        const int begin = rows_[row];
        const int end = row + 1 < rows_.size() ? rows_[row + 1] : static_cast<int>(text_.size());
        indexes.clear(), positions.clear();
        for (int i = begin; i < end; ++i) {
            const char16_t ch = text_[i].unicode();
            if (ch == u' ') continue;
            indexes.push_back(glyphs[glyph_of(ch)]);
            positions.push_back(QPointF(shape.advance * (i - begin), 0));
        }
        QGlyphRun run = shape.glyphs;
        run.setGlyphIndexes(indexes);
        run.setPositions(positions);
        painter.drawGlyphRun(QPointF(margin, top + shape.ascent), run);
    }
}

}  // namespace mirvane::qt
