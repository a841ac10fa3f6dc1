#pragma once

#include "core/dictionary/Search.h"

#include <QAbstractListModel>

namespace orvane::core::dictionary {

// The rows of the result list: the listed term is shown, the entry id rides along in
// EntryIdRole and is never shown. Two plain vectors, so a million hits load at once.
class ResultListModel : public QAbstractListModel
{
public:
    static constexpr int EntryIdRole = Qt::UserRole;

    using QAbstractListModel::QAbstractListModel;

    void setRows(SearchResults rows);
    void clear();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // The next row after `current` (-1: none is current) whose term begins with `typed`,
    // ignoring case, going round from the last row to the first; the current row itself
    // only when no other row begins so. -1 when no row does.
    int nextRowStartingWith(QStringView typed, int current) const;

private:
    SearchResults m_rows;
};

} // namespace orvane::core::dictionary
