#include "ui/dictionary/ResultList.h"

namespace orvane {

void ResultList::focusInEvent(QFocusEvent* event)
{
    // Skips QAbstractItemView's focus handling, whose only other work is the repaint below.
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

} // namespace orvane
