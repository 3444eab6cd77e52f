#pragma once

#include <QFont>
#include <QString>

namespace mirvane::qt {

// The proportional Gothic of labels, buttons and entry fields.
QFont proportional_font(double points);

// A font for the traffic panes: the fixed-pitch Gothic when the machine has it, else the
// system's fixed font, so that hexadecimal columns line up either way. Text in it is laid
// out without a shaping pass, which these texts do not need.
QFont fixed_pitch_font(const QString& family, double points);

}  // namespace mirvane::qt
