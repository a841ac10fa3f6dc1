#include "core/data/RowSource.h"

#include "core/data/PreparedStatement.h"
#include "core/data/UnicodeText.h"

#include <QLocale>
#include <cmath>

namespace orvane::core::data {
namespace {

class StatementRows final : public RowSource
{
public:
    explicit StatementRows(PreparedStatement statement)
        : m_statement(std::move(statement)), m_values(std::size_t(m_statement.columnCount())), m_units(m_values.size())
    {}

    std::vector<QString> columnNames() const override
    {
        std::vector<QString> names;
        for (int i = 0; i < m_statement.columnCount(); ++i)
            names.push_back(m_statement.columnName(i));
        return names;
    }

    bool next(QString* error) override
    {
        const PreparedStatement::Step result = m_statement.step();
        // Anything but a row or the end (a corrupt page, a failed decryption, the time
        // bound...) ends the walk.
        if (result == PreparedStatement::Step::Failed)
            *error = m_statement.errorMessage();
        return result == PreparedStatement::Step::Row;
    }

    std::optional<QStringView> text(int column) override
    {
        QString& value = m_values[std::size_t(column)];
        switch (m_statement.columnType(column)) {
        case PreparedStatement::Type::Null:
            return std::nullopt;
        case PreparedStatement::Type::Integer:
            value = QString::number(m_statement.columnInt64(column));
            break;
        case PreparedStatement::Type::Real: {
            const double number = m_statement.columnDouble(column);
            // Whole numbers read as integers ("12", not "1.2e+01"); others in their shortest exact form.
            if (std::trunc(number) == number && std::fabs(number) < 1e15)
                value = QString::number(qint64(number));
            else
                value = QString::number(number, 'g', QLocale::FloatingPointShortest);
            break;
        }
        default: {
            // Decoded into the column's own buffer, which keeps its room from row to row.
            const QByteArrayView utf8 = m_statement.columnText(column);
            std::vector<char16_t>& units = m_units[std::size_t(column)];
            if (units.size() < std::size_t(utf8.size()))
                units.resize(std::size_t(utf8.size()));
            return QStringView(units.data(), unicode::decodeUtf8(utf8, units.data()));
        }
        }
        return QStringView(value);
    }

    qint64 number(int column) const override { return m_statement.columnInt64(column); }

private:
    PreparedStatement m_statement;
    // Per column: the text of a number, the code units of a text.
    std::vector<QString> m_values;
    std::vector<std::vector<char16_t>> m_units;
};

} // namespace

std::unique_ptr<RowSource> statementRows(PreparedStatement statement)
{
    return std::make_unique<StatementRows>(std::move(statement));
}

} // namespace orvane::core::data
