#include "qt/window/scroll_bar_style.h"

#include <QPainter>
#include <QPixmapCache>
#include <QStyleFactory>
#include <QWidget>

namespace mirvane::qt {

namespace {

// A picture drawn on a pixmap in the widget's own coordinates is the one drawn on the window.
bool copiable(const QPainter& painter, const QWidget* widget) {
    return widget != nullptr && painter.device()->devicePixelRatio() == 1.0 &&
           painter.transform().type() <= QTransform::TxTranslate;
}

// Everything a scroll bar is drawn from but its palette.
bool same_bar(const QStyleOptionSlider& a, const QStyleOptionSlider& b) {
    return a.rect == b.rect && a.state == b.state && a.direction == b.direction && a.subControls == b.subControls &&
           a.activeSubControls == b.activeSubControls && a.orientation == b.orientation && a.minimum == b.minimum &&
           a.maximum == b.maximum && a.sliderPosition == b.sliderPosition && a.sliderValue == b.sliderValue &&
           a.singleStep == b.singleStep && a.pageStep == b.pageStep && a.upsideDown == b.upsideDown;
}

// A painter on `pixels` that starts as `like` does: its pen, brush, font and background,
// which the plain look may draw with.
void start_like(QPainter& painter, QPixmap& pixels, const QPainter& like) {
    painter.begin(&pixels);
    painter.setPen(like.pen());
    painter.setBrush(like.brush());
    painter.setFont(like.font());
    painter.setBackground(like.background());
    painter.setBrushOrigin(like.brushOrigin());
}

}  // namespace

PlainScrollBarStyle::PlainScrollBarStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Windows"))) {}

void PlainScrollBarStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                             QPainter* painter, const QWidget* widget) const {
    const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option);
    if (control != CC_ScrollBar || bar == nullptr || !copiable(*painter, widget) || bar->rect != widget->rect()) {
        return QProxyStyle::drawComplexControl(control, option, painter, widget);
    }
    auto kept = pictures_.find(widget);
    if (kept == pictures_.end()) {
        kept = pictures_.insert(widget, Picture{});
        connect(widget, &QObject::destroyed, this, [this, widget] { pictures_.remove(widget); });
    }
    Picture& picture = *kept;
    if (picture.pixels.isNull() || !same_bar(picture.drawn, *bar) ||
        picture.group != bar->palette.currentColorGroup() || picture.palette != bar->palette.cacheKey()) {
        picture.drawn = *bar;
        picture.group = bar->palette.currentColorGroup();
        picture.palette = bar->palette.cacheKey();
        // Opaque, so that it is copied rather than blended: Qt hands the blend of a picture
        // as tall as a bar to its pooled threads. The plain look covers every pixel.
        picture.pixels = QPixmap(bar->rect.size());
        picture.pixels.fill(painter->background().color());
        QPainter draw;
        start_like(draw, picture.pixels, *painter);
        QProxyStyle::drawComplexControl(control, option, &draw, widget);
    }
    painter->drawPixmap(0, 0, picture.pixels);
}

void PlainScrollBarStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                                      const QWidget* widget) const {
    const bool page = element == CE_ScrollBarAddPage || element == CE_ScrollBarSubPage;
    if (!page || !copiable(*painter, widget)) return QProxyStyle::drawControl(element, option, painter, widget);
    // The pattern is laid from the bar's corner, so a picture of the whole bar filled as a
    // page holds every page's pixels at their places.
    const bool sunken = option->state.testFlag(State_Sunken);
    const QString key = QStringLiteral("mirvane-scroll-page-%1x%2-%3-%4-%5")
                            .arg(widget->width())
                            .arg(widget->height())
                            .arg(sunken)
                            .arg(option->palette.cacheKey())
                            .arg(option->palette.currentColorGroup());
    QPixmap filled;
    if (!QPixmapCache::find(key, &filled)) {
        filled = QPixmap(widget->size());
        QPainter fill(&filled);
        QStyleOption whole = *option;
        whole.rect = widget->rect();
        QProxyStyle::drawControl(element, &whole, &fill, widget);
        fill.end();
        QPixmapCache::insert(key, filled);
    }
    painter->drawPixmap(option->rect.topLeft(), filled, option->rect);
}

}  // namespace mirvane::qt
