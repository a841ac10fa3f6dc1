#include "ui/common/TextFit.h"

#include <QFontMetricsF>
#include <QLabel>

namespace orvane::ui::common {

namespace {
constexpr qreal SmallestPoints = 6;
constexpr qreal PointStep = 0.25;
} // namespace

QFont fontToFit(QFont font, const QString& text, qreal room, QWidget* widget)
{
    // A font sized in pixels has no point size (-1) and is left as it is.
    for (qreal points = font.pointSizeF();
         points - PointStep >= SmallestPoints && QFontMetricsF(font, widget).horizontalAdvance(text) > room;) {
        points -= PointStep;
        font.setPointSizeF(points);
    }
    return font;
}

void fitToLabel(QLabel* label)
{
    label->setFont(fontToFit(label->font(), label->text(), label->contentsRect().width(), label));
}

} // namespace orvane::ui::common
