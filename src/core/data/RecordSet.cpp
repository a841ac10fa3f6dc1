#include "core/data/RecordSet.h"

#include "core/data/RecordSetImpl.h"

#include <sqlcipher/sqlite3.h>

#include <QLocale>
#include <cmath>

namespace orvane::data {

RecordSet::Impl::Impl(std::shared_ptr<Database> owner, sqlite3_stmt* prepared)
    : database(std::move(owner)), statement(prepared)
{
    const int count = sqlite3_column_count(statement);
    columnNames.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i)
        columnNames.push_back(QString::fromUtf8(sqlite3_column_name(statement, i)));
    step();
    firstStepFailed = !error.isEmpty();
}

RecordSet::Impl::Impl(QString failure) : firstStepFailed(true), error(std::move(failure)) {}

RecordSet::Impl::~Impl()
{
    sqlite3_finalize(statement);
}

void RecordSet::Impl::step()
{
    const int result = sqlite3_step(statement);
    hasRow = result == SQLITE_ROW;
    // Anything but a row or the end (a corrupt page, a failed decryption...) ends the walk.
    if (result != SQLITE_ROW && result != SQLITE_DONE)
        error = QString::fromUtf8(sqlite3_errmsg(sqlite3_db_handle(statement)));
}

int RecordSet::Impl::columnIndex(const QString& name) const
{
    // Callers ask for the same few names on every row; an exact match is the common case.
    for (std::size_t i = 0; i < columnNames.size(); ++i) {
        if (columnNames[i] == name)
            return int(i);
    }
    for (std::size_t i = 0; i < columnNames.size(); ++i) {
        if (columnNames[i].compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

RecordSet::RecordSet() = default;
RecordSet::RecordSet(std::unique_ptr<Impl> impl) : d(std::move(impl)) {}
RecordSet::RecordSet(RecordSet&&) noexcept = default;
RecordSet& RecordSet::operator=(RecordSet&&) noexcept = default;
RecordSet::~RecordSet() = default;

bool RecordSet::isOpen() const
{
    return d && !d->firstStepFailed;
}

QString RecordSet::error() const
{
    if (!d)
        return QStringLiteral("no record set");
    return d->error;
}

int RecordSet::RecordCount() const
{
    return d && d->hasRow ? 1 : 0;
}

void RecordSet::MoveFirst()
{
    // Rewinding runs the statement again; before the first MoveNext there is nothing to do.
    if (!d || !d->movedOn)
        return;
    sqlite3_reset(d->statement);
    d->movedOn = false;
    d->step();
}

bool RecordSet::Eof() const
{
    return !d || !d->hasRow;
}

std::optional<QString> RecordSet::Fields(const QString& column) const
{
    if (Eof())
        return std::nullopt;
    const int index = d->columnIndex(column);
    if (index < 0) {
        d->error = QStringLiteral("no column named ") + column;
        return std::nullopt;
    }
    switch (sqlite3_column_type(d->statement, index)) {
    case SQLITE_NULL:
        return std::nullopt;
    case SQLITE_INTEGER:
        return QString::number(sqlite3_column_int64(d->statement, index));
    case SQLITE_FLOAT: {
        const double number = sqlite3_column_double(d->statement, index);
        // Whole numbers read as integers ("12", not "1.2e+01"); others in their shortest exact form.
        if (std::trunc(number) == number && std::fabs(number) < 1e15)
            return QString::number(qint64(number));
        return QString::number(number, 'g', QLocale::FloatingPointShortest);
    }
    default: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(d->statement, index));
        return QString::fromUtf8(text, sqlite3_column_bytes(d->statement, index));
    }
    }
}

bool RecordSet::hasField(const QString& column) const
{
    return d && d->columnIndex(column) >= 0;
}

qint64 RecordSet::fieldInt(const QString& column) const
{
    if (Eof())
        return 0;
    const int index = d->columnIndex(column);
    if (index < 0) {
        d->error = QStringLiteral("no column named ") + column;
        return 0;
    }
    return sqlite3_column_int64(d->statement, index);
}

void RecordSet::MoveNext()
{
    if (Eof())
        return;
    d->movedOn = true;
    d->step();
}

} // namespace orvane::data
