#include "core/data/RecordSet.h"

#include "core/data/RecordSetImpl.h"
#include "core/data/UnicodeText.h"

#include <sqlite3.h>

#include <QLocale>
#include <algorithm>
#include <cmath>

namespace orvane::core::data {
namespace {

class StatementRows final : public RowSource
{
public:
    explicit StatementRows(Prepared statement)
        : m_prepared(std::move(statement)), m_statement(m_prepared.handle()),
          m_values(std::size_t(sqlite3_column_count(m_statement))), m_units(m_values.size())
    {}

    std::vector<QString> columnNames() const override
    {
        std::vector<QString> names;
        for (int i = 0; i < sqlite3_column_count(m_statement); ++i)
            names.push_back(QString::fromUtf8(sqlite3_column_name(m_statement, i)));
        return names;
    }

    bool next(QString* error) override
    {
        const int result = m_prepared.step();
        // Anything but a row or the end (a corrupt page, a failed decryption, the time
        // bound...) ends the walk.
        if (result != SQLITE_ROW && result != SQLITE_DONE)
            *error = m_prepared.errorMessage();
        return result == SQLITE_ROW;
    }

    std::optional<QStringView> text(int column) override
    {
        QString& value = m_values[std::size_t(column)];
        switch (sqlite3_column_type(m_statement, column)) {
        case SQLITE_NULL:
            return std::nullopt;
        case SQLITE_INTEGER:
            value = QString::number(sqlite3_column_int64(m_statement, column));
            break;
        case SQLITE_FLOAT: {
            const double number = sqlite3_column_double(m_statement, column);
            // Whole numbers read as integers ("12", not "1.2e+01"); others in their shortest exact form.
            if (std::trunc(number) == number && std::fabs(number) < 1e15)
                value = QString::number(qint64(number));
            else
                value = QString::number(number, 'g', QLocale::FloatingPointShortest);
            break;
        }
        default: {
            // Decoded into the column's own buffer, which keeps its room from row to row.
            const auto* utf8 = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
            const int size = sqlite3_column_bytes(m_statement, column);
            std::vector<char16_t>& units = m_units[std::size_t(column)];
            if (units.size() < std::size_t(size))
                units.resize(std::size_t(size));
            return QStringView(units.data(), unicode::decodeUtf8(QByteArrayView(utf8, size), units.data()));
        }
        }
        return QStringView(value);
    }

    qint64 number(int column) const override { return sqlite3_column_int64(m_statement, column); }

private:
    Prepared m_prepared;
    sqlite3_stmt* m_statement;
    // Per column: the text of a number, the code units of a text.
    std::vector<QString> m_values;
    std::vector<std::vector<char16_t>> m_units;
};

} // namespace

std::unique_ptr<RowSource> statementRows(Prepared statement)
{
    return std::make_unique<StatementRows>(std::move(statement));
}

RecordSet::Impl::Impl(std::shared_ptr<Database> owner, std::unique_ptr<RowSource> source)
    : database(std::move(owner)), rows(std::move(source)), columnNames(rows->columnNames())
{
    hasRow = rows->next(&error);
    failedToOpen = !error.isEmpty();
}

RecordSet::Impl::Impl(QString failure) : failedToOpen(true), error(std::move(failure)) {}

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
RecordSet::RecordSet(std::unique_ptr<Impl> impl) : d(std::move(impl)) {}
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
