#pragma once

#include <QFont>
#include <QString>

class QLabel;
class QWidget;

namespace orvane::ui::common {

// Controls keep the sizes of their design, but their texts come in fonts the design could not
// know: the desktop's, a size a dictionary configures, a wider substitute for a family this
// system lacks. Such a text is shown smaller rather than cut off.

// `font` when `text` takes at most `room` logical pixels in it on `widget`; else the largest
// size below, in quarter points, in which it does, though never below a readable size.
QFont fontToFit(QFont font, const QString& text, qreal room, QWidget* widget);

// A label's text, in the label's font made as small as it needs to be to fit the label.
void fitToLabel(QLabel* label);

} // namespace orvane::ui::common
