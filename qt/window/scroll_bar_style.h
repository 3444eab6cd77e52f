#pragma once
// The panes' scroll bars, drawn plain. A pane's scroll bars are drawn again whenever the
// range of one of them moves, as at every entry while the log fills: Qt lays the pane's bars
// out again and raises both, and each is drawn whole, its own range moved or not. Each bar's
// last picture is kept and copied while nothing it is drawn from has changed. The plain look
// also fills its pages with a dotted pattern, which Qt hands to its pooled threads and waits
// for: the pages are drawn once for each size, palette and state, and copied from then on.
// The same pixels either way, and no thread woken for them.

#include <QHash>
#include <QPixmap>
#include <QProxyStyle>
#include <QStyleOption>

namespace mirvane::qt {

class PlainScrollBarStyle final : public QProxyStyle {
public:
    PlainScrollBarStyle();

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;

private:
    // A bar's picture and what it was drawn from.
    struct Picture {
        QStyleOptionSlider drawn;
        QPalette::ColorGroup group = QPalette::Active;
        qint64 palette = 0;
        QPixmap pixels;
    };
    mutable QHash<const QWidget*, Picture> pictures_;
};

}  // namespace mirvane::qt
