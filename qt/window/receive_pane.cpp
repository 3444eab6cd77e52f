#include "qt/window/receive_pane.h"

#include <QFocusEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <utility>

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

// Where a paragraph of codes breaks into rows in a box `columns` characters wide: the index
// of each row's first character. A row starts at a code and takes the codes whose last
// character fits, as the text document's word wrap does. Empty when `text` is not codes
// separated by single spaces, or a code is wider than the box.
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

}  // namespace

ReceivePane::ReceivePane(const QString& text, QWidget* parent) : QPlainTextEdit(text, parent) {
    // Anyone else's text goes into the document, which from then on is what the pane shows.
    connect(this, &QPlainTextEdit::textChanged, this, [this] { drawing_ = false; });
}

bool ReceivePane::can_draw() const {
    return !reached_ && !textCursor().hasSelection() && verticalScrollBar()->value() == 0 &&
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
    if (runs.size() != 1 || runs[0].glyphIndexes().size() != static_cast<qsizetype>(kDrawable.size()))
        return std::nullopt;
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
    QString drawn = QString::fromStdU16String(std::u16string(text));
    const int moved = drawing_ && drawn != text_ ? codes_in_front(text_, drawn) : 0;
    const std::vector<int> rows_before = std::exchange(rows_, std::move(rows));
    const int size_before = static_cast<int>(std::exchange(text_, std::move(drawn)).size());
    drawing_ = true;
    set_scroll_range();
    draw_rows(moved, rows_before, size_before);
    return true;
}

int ReceivePane::codes_in_front(const QString& before, const QString& now) {
    // A code and its space in front of what was there, less as many characters at the end.
    for (qsizetype added = 3; added < now.size() && added <= before.size(); added += 3) {
        if (now[added - 1] != u' ') return 0;
        if (QStringView(now).mid(added) == QStringView(before).left(now.size() - added)) {
            return static_cast<int>(added / 3);
        }
    }
    return 0;
}

void ReceivePane::draw_rows(int moved, const std::vector<int>& rows_before, int size_before) {
    if (moved == 0) return viewport()->update();
    // Codes in front move every row right by their width and the last codes of each row to
    // the front of the next: a row as long as it was or longer keeps its pixels, moved, and
    // only the codes that came in are drawn. Any other row is drawn whole.
    const auto length = [](const std::vector<int>& rows, int size, std::size_t row) {
        if (row >= rows.size()) return -1;
        return (row + 1 < rows.size() ? rows[row + 1] : size + 1) - rows[row];
    };
    const int codes = rows_.size() > 1 ? rows_[1] / 3 : 0;
    const bool same_rows = rows_before.size() > 1 && rows_before[1] == rows_[1] && moved < codes;
    const qreal margin = document()->documentMargin();
    const int shift = static_cast<int>(moved * 3 * face_->advance);
    // Rows as long lie one under the other: their pixels move in one piece, each row's last
    // codes falling off its end and the new ones left to draw at its front.
    QRect moving;
    const auto move_rows = [&] {
        if (moving.isEmpty()) return;
        viewport()->scroll(shift, 0, moving);
        moving = QRect();
    };
    for (std::size_t row = 0; row < std::max(rows_.size(), rows_before.size()); ++row) {
        const int top =
            row == 0 ? 0 : static_cast<int>(std::floor(margin + static_cast<qreal>(row) * face_->row_height));
        if (top >= viewport()->height()) break;
        const int bottom = static_cast<int>(std::floor(margin + static_cast<qreal>(row + 1) * face_->row_height));
        const int now = length(rows_, static_cast<int>(text_.size()), row);
        const int before = length(rows_before, size_before, row);
        if (same_rows && before > 0 && now >= before) {
            const int row_top = std::max(top, static_cast<int>(margin));
            const QRect place(static_cast<int>(margin), row_top, static_cast<int>(now * face_->advance),
                              bottom - row_top);
            if (!moving.isEmpty() && moving.width() != place.width()) move_rows();
            moving = moving.united(place);
        } else {
            move_rows();
            viewport()->update(0, top, viewport()->width(), bottom - top);
        }
    }
    move_rows();
}

QString ReceivePane::shown_text() const { return drawing_ ? text_ : toPlainText(); }

void ReceivePane::set_scroll_range() {
    // The rows whose tops are in view when the last is at the bottom, counted as the text
    // document counts them for its scroll bar; the scroll bar runs over the rest.
    const int lines = static_cast<int>(rows_.size());
    const qreal margin = document()->documentMargin();
    const qreal hidden = lines * face_->row_height + margin - (viewport()->height() - margin - 1);
    int first = 0;
    while (first < lines && first * face_->row_height < hidden) ++first;
    QScrollBar& bar = *verticalScrollBar();
    if (bar.maximum() != first || bar.minimum() != 0) bar.setRange(0, first);
    if (bar.pageStep() != lines - first) bar.setPageStep(lines - first);
}

void ReceivePane::reach() {
    reached_ = true;
    hand_over();
}

void ReceivePane::hand_over() {
    if (!drawing_) return;
    drawing_ = false;
    const QSignalBlocker quiet(this);
    setPlainText(text_);
}

bool ReceivePane::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::FocusIn: {
            // The focus the window hands its first box when it is activated, or gives back
            // when a box or menu closes, is no move of the operator's.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) reach();
            break;
        }
        case QEvent::FocusOut: reached_ = false; break;
        case QEvent::KeyPress:
        case QEvent::InputMethod: reach(); break;
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
        case QEvent::Drop:
        case QEvent::Wheel: reach(); break;
        default: break;
    }
    return QPlainTextEdit::viewportEvent(event);
}

void ReceivePane::scrollContentsBy(int dx, int dy) {
    if (!drawing_) return QPlainTextEdit::scrollContentsBy(dx, dy);
    // Away from the newest row the document takes over, at the row the operator chose.
    const int top = verticalScrollBar()->value();
    reach();
    verticalScrollBar()->setValue(top);
}

void ReceivePane::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    if (drawing_) draw(text_.toStdU16String());
}

void ReceivePane::paintEvent(QPaintEvent* event) {
    if (!drawing_) return QPlainTextEdit::paintEvent(event);
    const Face& shape = *face_;
    const qreal margin = document()->documentMargin();
    const QList<quint32> glyphs = shape.glyphs.glyphIndexes();
    QList<quint32> indexes;
    QList<QPointF> positions;
    // Only the columns to paint, each once, whatever pieces the region comes in: after a
    // move, the few codes that came in at the front of each row, and the last row.
    std::vector<bool> wanted;
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        const qreal top = margin + static_cast<qreal>(row) * shape.row_height;
        if (top > event->rect().bottom()) break;
        if (top + shape.row_height < event->rect().top()) continue;
        const int begin = rows_[row];
        const int end = row + 1 < rows_.size() ? rows_[row + 1] : static_cast<int>(text_.size());
        wanted.assign(static_cast<std::size_t>(end - begin), false);
        for (const QRect& piece : event->region()) {
            if (top > piece.bottom() || top + shape.row_height < piece.top()) continue;
            const int first = static_cast<int>(std::floor((piece.left() - margin) / shape.advance));
            const int last = static_cast<int>(std::ceil((piece.right() + 1 - margin) / shape.advance));
            std::fill(wanted.begin() + std::clamp(first, 0, end - begin),
                      wanted.begin() + std::clamp(last, 0, end - begin), true);
        }
        for (int i = begin; i < end; ++i) {
            const char16_t ch = text_[i].unicode();
            if (ch == u' ' || !wanted[static_cast<std::size_t>(i - begin)]) continue;
            indexes.push_back(glyphs[glyph_of(ch)]);
            positions.push_back(QPointF(shape.advance * (i - begin), top));
        }
    }
    if (indexes.isEmpty()) return;
    QPainter painter(viewport());
    painter.setPen(palette().text().color());
    QGlyphRun run = shape.glyphs;
    run.setGlyphIndexes(indexes);
    run.setPositions(positions);
    painter.drawGlyphRun(QPointF(margin, shape.ascent), run);
}

}  // namespace mirvane::qt
