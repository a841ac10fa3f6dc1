#include "core/data/RecordSet.h"

#include "core/data/RowSource.h"

#include <algorithm>
#include <vector>

namespace orvane::core::data {

struct RecordSet::Impl
{
    // The result column of `name` (case-insensitive like SQL), or -1.
    int columnIndex(const QString& name) const;

    // Declared first so that it outlives the rows, which may run on its connection.
    std::shared_ptr<Database> database;
    std::unique_ptr<RowSource> rows;
    std::vector<QString> columnNames;
    bool hasRow = false;     // the last step gave a row
    bool beforeFirst = true; // next() not called yet: the first step's row waits
    bool failedToOpen = false;
    QString error;
};

int RecordSet::Impl::columnIndex(const QString& name) const
{
    // Callers ask for the same few names on every row, so the exact match comes first,
    // compared inline: a call into the string library per field costs more than the field.
    for (std::size_t i = 0; i < columnNames.size(); ++i) {
        const QString& candidate = columnNames[i];
        if (candidate.size() == name.size() && std::equal(candidate.cbegin(), candidate.cend(), name.cbegin()))
            return int(i);
    }
    for (std::size_t i = 0; i < columnNames.size(); ++i) {
        if (columnNames[i].compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

RecordSet::RecordSet() = default;

RecordSet::RecordSet(std::shared_ptr<Database> database, std::unique_ptr<RowSource> rows) : d(std::make_unique<Impl>())
{
    d->database = std::move(database);
    d->rows = std::move(rows);
    d->columnNames = d->rows->columnNames();
    d->hasRow = d->rows->next(&d->error);
    d->failedToOpen = !d->error.isEmpty();
}

RecordSet::RecordSet(QString failure) : d(std::make_unique<Impl>())
{
    d->failedToOpen = true;
    d->error = std::move(failure);
}

RecordSet::RecordSet(RecordSet&&) noexcept = default;
RecordSet& RecordSet::operator=(RecordSet&&) noexcept = default;
RecordSet::~RecordSet() = default;

bool RecordSet::isActive() const
{
    return d && !d->failedToOpen;
}

bool RecordSet::isValid() const
{
    return d && !d->beforeFirst && d->hasRow;
}

bool RecordSet::next()
{
    if (!d)
        return false;
    if (d->beforeFirst)
        d->beforeFirst = false; // the row of the first step, taken when the set opened
    else if (d->hasRow)
        d->hasRow = d->rows->next(&d->error);
    return d->hasRow;
}

QString RecordSet::errorString() const
{
    if (!d)
        return QStringLiteral("no record set");
    return d->error;
}

int RecordSet::indexOf(const QString& column) const
{
    return d ? d->columnIndex(column) : -1;
}

int RecordSet::currentIndex(const QString& column) const
{
    if (!isValid())
        return -1;
    const int index = d->columnIndex(column);
    if (index < 0)
        d->error = QStringLiteral("no column named ") + column;
    return index;
}

std::optional<QString> RecordSet::value(const QString& column) const
{
    const std::optional<QStringView> text = valueView(column);
    return text ? std::optional<QString>(text->toString()) : std::nullopt;
}

std::optional<QStringView> RecordSet::valueView(const QString& column) const
{
    const int index = currentIndex(column);
    return index < 0 ? std::nullopt : d->rows->text(index);
}

qint64 RecordSet::valueInt64(const QString& column) const
{
    const int index = currentIndex(column);
    return index < 0 ? 0 : d->rows->number(index);
}

} // namespace orvane::core::data
