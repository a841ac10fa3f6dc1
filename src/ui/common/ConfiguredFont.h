#pragma once

#include <QFont>
#include <QFontDatabase>

namespace orvane::ui::common {

// A configured size outside this range is a data error; applying it would make the
// control unreadable or absurdly large, so the control keeps its size.
inline constexpr double MaxFontPoints = 200.0;

// `font` with the configured family and size, each on its own: a family the system does
// not have, or a size of 0 (not set) or out of range, leaves that part as it was.
inline QFont configuredFont(QFont font, const QString& family, double points)
{
    if (!family.isEmpty() && QFontDatabase::hasFamily(family))
        font.setFamily(family);
    if (points > 0 && points <= MaxFontPoints)
        font.setPointSizeF(points);
    return font;
}

} // namespace orvane::ui::common
