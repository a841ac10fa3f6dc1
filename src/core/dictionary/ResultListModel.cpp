#include "core/dictionary/ResultListModel.h"

#include <algorithm>
#include <limits>

namespace orvane::core::dictionary {

void ResultListModel::setRows(SearchResults rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void ResultListModel::clear()
{
    setRows({});
}

int ResultListModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    // Views count rows in int; a result never comes near that, but never overflow.
    return static_cast<int>(std::min<qsizetype>(m_rows.size(), std::numeric_limits<int>::max()));
}

QVariant ResultListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return m_rows.term(index.row());
    case EntryIdRole:
        return m_rows.id(index.row());
    default:
        return {};
    }
}

int ResultListModel::nextRowStartingWith(QStringView typed, int current) const
{
    const int rows = rowCount();
    if (typed.isEmpty())
        return -1;
    for (int step = 1; step <= rows; ++step) {
        const int row = (current + step) % rows;
        if (QStringView(m_rows.term(row)).startsWith(typed, Qt::CaseInsensitive))
            return row;
    }
    return -1;
}

} // namespace orvane::core::dictionary
