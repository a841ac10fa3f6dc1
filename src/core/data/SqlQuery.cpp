#include "core/data/SqlQuery.h"

#include "core/data/PatternMatcher.h"
#include "core/data/Schema.h"
#include "core/data/SqlFunctions.h"
#include "core/data/UnicodeText.h"

#include <algorithm>

namespace orvane::data {
namespace {

// Names come from code, never from users; checking them still guarantees that nothing
// but a bound value can vary between runs of a statement.
bool isIdentifier(const QString& name)
{
    return !name.isEmpty() && !name.front().isDigit() && std::all_of(name.cbegin(), name.cend(), [](QChar c) {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_';
    });
}

// One more than any UTF-8 continuation of a prefix: no valid UTF-8 sequence starts
// with F4 90 or above, so [prefix, prefix + F4 90) holds exactly the texts that begin with prefix.
const QByteArray BeyondUtf8("\xF4\x90");

class Builder
{
public:
    Builder(const Statement& statement, bool dictionaryKeys)
        : m_statement(statement), m_keyed(dictionaryKeys && statement.table == QLatin1String(schema::DictionaryTable))
    {}

    std::optional<SqlQuery> build()
    {
        if (!namesAreIdentifiers())
            return std::nullopt;
        QString from = m_statement.table;
        QString where;
        if (m_statement.where)
            where = condition(*m_statement.where, from);
        QString sql = QStringLiteral("SELECT ") +
                      (m_statement.columns.isEmpty() ? QStringLiteral("*") : m_statement.columns.join(u", ")) +
                      QStringLiteral(" FROM ") + from;
        if (!where.isEmpty())
            sql += QStringLiteral(" WHERE ") + where;
        if (!m_statement.orderBy.isEmpty())
            sql += QStringLiteral(" ORDER BY ") + order(m_statement.orderBy);
        m_query.sql = sql.toUtf8();
        return std::move(m_query);
    }

private:
    bool namesAreIdentifiers() const
    {
        return isIdentifier(m_statement.table) &&
               std::all_of(m_statement.columns.cbegin(), m_statement.columns.cend(), isIdentifier) &&
               (!m_statement.where || isIdentifier(m_statement.where->column)) &&
               (m_statement.orderBy.isEmpty() || isIdentifier(m_statement.orderBy));
    }

    QString bind(const QString& text)
    {
        m_query.values.emplace_back(unicode::toUtf8(text));
        return QStringLiteral("?");
    }

    QString condition(const Statement::Condition& condition, QString& from)
    {
        const QString& column = condition.column;
        switch (condition.op) {
        case Statement::Op::Equal:
        case Statement::Op::NotEqual: {
            const QString op = condition.op == Statement::Op::Equal ? QStringLiteral(" = ") : QStringLiteral(" <> ");
            bool isNumber = false;
            const qint64 number = condition.value.toLongLong(&isNumber);
            if (isNumber && schema::isNumericColumn(column)) {
                m_query.values.emplace_back(number);
                return column + op + u'?';
            }
            return column + op + bind(condition.value);
        }
        case Statement::Op::Like:
            if (m_keyed && !schema::searchKeyColumn(column).isEmpty())
                return keyedLike(column, condition.value, from);
            return QLatin1String(sql::LikeFunction) + u'(' + bind(condition.value) + QStringLiteral(", ") + column +
                   u')';
        }
        return {};
    }

    // Searches on the key columns. With a literal start the pattern becomes a range scan
    // of the key index; without one, the sort index of the order column is walked in
    // order and only its key column is tested, so no row of the table itself is read.
    QString keyedLike(const QString& column, const QString& value, QString& from)
    {
        // The engine reads a lone surrogate as U+FFFD; the range must be bounded by the
        // pattern the key matcher will compile.
        const QString pattern = unicode::withoutLoneSurrogates(value);
        const PatternMatcher matcher(pattern);
        const QString keyColumn = schema::searchKeyColumn(column);
        const QString matchKey =
            QLatin1String(sql::LikeKeyFunction) + u'(' + u'?' + QStringLiteral(", ") + keyColumn + u')';
        const QString prefix = matcher.literalPrefix();
        if (!prefix.isEmpty()) {
            from += QStringLiteral(" INDEXED BY ") + schema::keyIndexName(keyColumn);
            const QByteArray low = prefix.toUtf8();
            m_query.values.emplace_back(low);
            m_query.values.emplace_back(low + BeyondUtf8);
            QString range = keyColumn + QStringLiteral(" >= ? AND ") + keyColumn + QStringLiteral(" < ?");
            if (matcher.isPlainPrefix())
                return range;
            m_query.values.emplace_back(pattern.toUtf8());
            return range + QStringLiteral(" AND ") + matchKey;
        }
        const QString sortColumn = schema::sortKeyColumn(m_statement.orderBy);
        if (!sortColumn.isEmpty())
            from += QStringLiteral(" INDEXED BY ") + schema::keyIndexName(sortColumn);
        if (matcher.isPlainPrefix())
            return keyColumn + QStringLiteral(" IS NOT NULL");
        m_query.values.emplace_back(pattern.toUtf8());
        return matchKey;
    }

    QString order(const QString& column) const
    {
        if (schema::isNumericColumn(column))
            return column;
        // Equal texts come in id order, so both ways of ordering give the same total order.
        const bool dictionary = m_statement.table == QLatin1String(schema::DictionaryTable);
        const QString sortColumn = m_keyed ? schema::sortKeyColumn(column) : QString();
        if (!sortColumn.isEmpty())
            return sortColumn + QStringLiteral(", id");
        return column + QStringLiteral(" COLLATE ") + QLatin1String(sql::Collation) +
               (dictionary ? QStringLiteral(", id") : QString());
    }

    const Statement& m_statement;
    const bool m_keyed;
    SqlQuery m_query;
};

} // namespace

std::optional<SqlQuery> SqlQuery::build(const Statement& statement, bool dictionaryKeys)
{
    return Builder(statement, dictionaryKeys).build();
}

} // namespace orvane::data
