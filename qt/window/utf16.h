#pragma once
// The core's texts are UTF-16 views; Qt takes them as they are, without a copy of the view
// into a std::u16string first.

#include <QString>
#include <string_view>

namespace mirvane::qt {

inline QString qstring(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace mirvane::qt
