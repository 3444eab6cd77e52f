#pragma once
// The received bytes' pane. Its text is one paragraph of codes, newest first, so a byte in
// front moves every character: as a text document, every paint would lay the whole paragraph
// out again and draw every row in view through it. While the operator only watches, the pane
// draws the codes row by row itself, from glyphs shaped once, moving the pixels of a full row
// under the codes that came in; it leaves its document alone. The moment the operator reaches
// into it (a click, a key, the focus given by Tab, a menu, a drop, the wheel, the scroll bar)
// the document is brought up to date and the pane is an ordinary text box until it loses the
// focus. Either way it shows the same pixels, but for the caret of a focus the operator did
// not give it, as when the window is activated: drawn, the pane shows none.

#include <QGlyphRun>
#include <QPlainTextEdit>
#include <QString>
#include <optional>
#include <string_view>
#include <vector>

namespace mirvane::qt {

class ReceivePane final : public QPlainTextEdit {
public:
    ReceivePane(const QString& text, QWidget* parent);

    // Shows `text` by drawing it, when it is codes the pane can draw and the operator is not
    // in the pane. Otherwise false, and the document shows what the pane last showed, for the
    // caller to change into `text`.
    bool draw(std::u16string_view text);

    // What the pane shows, drawn or in its document.
    QString shown_text() const;

protected:
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    // The face's measures, when each code character and the space is as wide as the next in
    // whole pixels: what drawing needs, taken from a layout of the characters made once.
    struct Face {
        QGlyphRun glyphs;  // " 0123456789ABCDEF" in order, with their face
        qreal advance = 0;
        qreal ascent = 0;
        qreal row_height = 0;
    };

    static std::optional<Face> measure(const QFont& font, QPaintDevice* device);
    bool can_draw() const;
    const Face* face();
    int columns() const;
    // How many codes `now` has in front of `before`'s first ones, 0 for any other change.
    static int codes_in_front(const QString& before, const QString& now);
    // Has the rows of text_ drawn, moving the pixels of those that only moved.
    void draw_rows(int moved, const std::vector<int>& rows_before, int size_before);
    // The scroll bar's range and step as the document would set them for the rows drawn.
    void set_scroll_range();
    // The document takes the text drawn; the pane is an ordinary text box from here.
    void hand_over();
    // The operator reached into the pane: it stays a text box until they leave it.
    void reach();

    QString text_;           // drawn, while drawing_
    std::vector<int> rows_;  // where text_'s rows start
    bool drawing_ = false;
    bool reached_ = false;  // the operator is in the pane: until it loses the focus
    std::optional<QFont> measured_font_;
    std::optional<Face> face_;  // of measured_font_, if it can be drawn
};

}  // namespace mirvane::qt
