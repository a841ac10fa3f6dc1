#include "ui/dictionary/ResultList.h"

#include "core/dictionary/ResultListModel.h"

#include <QMouseEvent>

#include <algorithm>

namespace orvane::ui::dictionary {

ResultList::ResultList(core::dictionary::ResultListModel* rows, QWidget* parent) : QListView(parent), m_rows(rows)
{
    setModel(rows);
}

void ResultList::reset()
{
    QListView::reset();
    scrollToTop(); // new results show from their first row, wherever the last ones were scrolled
}

void ResultList::focusInEvent(QFocusEvent* event)
{
    // Skips QAbstractItemView's focus handling, whose only other work is the repaint below.
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

QModelIndex ResultList::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    // A list view answers every move key with the first row while none is current.
    const int rows = m_rows->rowCount();
    if (currentIndex().isValid() || rows == 0)
        return QListView::moveCursor(action, modifiers);
    switch (action) {
    case MoveEnd:
        return m_rows->index(rows - 1);
    case MovePageDown:
        return m_rows->index(lastRowOfFirstPage());
    default:
        return m_rows->index(0);
    }
}

int ResultList::lastRowOfFirstPage() const
{
    const int rowHeight = sizeHintForRow(0); // every row is as high (uniform item sizes)
    const int rowsPerPage = rowHeight > 0 ? std::max(1, viewport()->height() / rowHeight) : 1;
    return std::min(rowsPerPage, m_rows->rowCount()) - 1;
}

void ResultList::keyboardSearch(const QString& typed)
{
    const int row = m_rows->nextRowStartingWith(typed, currentIndex().row());
    if (row >= 0)
        setCurrentIndex(m_rows->index(row));
}

void ResultList::mousePressEvent(QMouseEvent* event)
{
    // The right and middle buttons leave the current row as it is; their release still
    // shows its entry again (the window watches releases over the list).
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    QListView::mousePressEvent(event);
}

} // namespace orvane::ui::dictionary
