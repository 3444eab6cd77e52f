#include "qt/window/scroll_bar_style.h"

#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <QStyleFactory>
#include <QStyleOption>
#include <QWidget>

namespace mirvane::qt {

PlainScrollBarStyle::PlainScrollBarStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Windows"))) {}

void PlainScrollBarStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                                      const QWidget* widget) const {
    const bool page = element == CE_ScrollBarAddPage || element == CE_ScrollBarSubPage;
    if (!page || widget == nullptr || painter->device()->devicePixelRatio() != 1.0 ||
        painter->transform().type() > QTransform::TxTranslate) {
        return QProxyStyle::drawControl(element, option, painter, widget);
    }
    // The pattern is laid from the bar's corner, so a picture of the whole bar filled as a
    // page holds every page's pixels at their places.
    const bool sunken = option->state.testFlag(State_Sunken);
    const QString key = QStringLiteral("mirvane-scroll-page-%1x%2-%3-%4")
                            .arg(widget->width())
                            .arg(widget->height())
                            .arg(sunken)
                            .arg(option->palette.cacheKey());
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
