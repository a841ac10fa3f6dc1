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

    void rewind() override { m_prepared.reset(); }

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
    step();
    firstStepFailed = !error.isEmpty();
}

RecordSet::Impl::Impl(QString failure) : firstStepFailed(true), error(std::move(failure)) {}

void RecordSet::Impl::step()
{
    hasRow = rows->next(&error);
}

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

bool RecordSet::IsOpen() const
{
    return d && !d->firstStepFailed;
}

QString RecordSet::Error() const
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
    d->rows->rewind();
    d->movedOn = false;
    d->step();
}

bool RecordSet::Eof() const
{
    return !d || !d->hasRow;
}

std::optional<QString> RecordSet::Fields(const QString& column) const
{
    const std::optional<QStringView> value = FieldView(column);
    return value ? std::optional<QString>(value->toString()) : std::nullopt;
}

std::optional<QStringView> RecordSet::FieldView(const QString& column) const
{
    if (Eof())
        return std::nullopt;
    const int index = d->columnIndex(column);
    if (index < 0) {
        d->error = QStringLiteral("no column named ") + column;
        return std::nullopt;
    }
    return d->rows->text(index);
}

bool RecordSet::HasField(const QString& column) const
{
    return d && d->columnIndex(column) >= 0;
}

qint64 RecordSet::FieldInt(const QString& column) const
{
    if (Eof())
        return 0;
    const int index = d->columnIndex(column);
    if (index < 0) {
        d->error = QStringLiteral("no column named ") + column;
        return 0;
    }
    return d->rows->number(index);
}

void RecordSet::MoveNext()
{
    if (Eof())
        return;
    d->movedOn = true;
    d->step();
}

} // namespace orvane::core::data
