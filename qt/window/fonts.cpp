#include "qt/window/fonts.h"

#include <QFontDatabase>
#include <QStringList>

#include "qt/window/form_layout.h"

namespace mirvane::qt {

namespace {

QString family_name(std::u16string_view family) {
    return QString::fromUtf16(family.data(), static_cast<qsizetype>(family.size()));
}

}  // namespace

QFont proportional_font(double points) {
    QFont font(family_name(kProportionalFamily));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    return font;
}

QFont fixed_pitch_font(const QString& family, double points) {
    const bool installed = QFontDatabase::families().contains(family, Qt::CaseInsensitive);
    QFont font = installed ? QFont(family) : QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::Monospace);
    font.setPointSizeF(points);
    // The panes hold hexadecimal codes, Latin and Japanese, none of which needs a shaping
    // pass in a fixed-pitch face; skipping it makes laying out a pane's lines, which every
    // paint does for the lines that changed, about half as dear.
    font.setStyleStrategy(QFont::StyleStrategy(font.styleStrategy() | QFont::PreferNoShaping));
    return font;
}

}  // namespace mirvane::qt
