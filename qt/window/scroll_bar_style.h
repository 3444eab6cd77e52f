#pragma once
// The panes' scroll bars, drawn plain. A pane's scroll bar is drawn again whenever its range
// moves, as at every entry while the log fills, and the plain look fills its pages with a
// dotted pattern, which Qt hands to its pooled threads and waits for. The pages are drawn
// once for each size, palette and state, and copied from then on: the same pixels, and no
// thread woken for them.

#include <QProxyStyle>

namespace mirvane::qt {

class PlainScrollBarStyle final : public QProxyStyle {
public:
    PlainScrollBarStyle();

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
};

}  // namespace mirvane::qt
