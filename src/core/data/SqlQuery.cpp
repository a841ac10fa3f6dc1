#include "core/data/SqlQuery.h"

#include "core/data/PatternMatcher.h"
#include "core/data/PreparedStatement.h"
#include "core/data/Schema.h"
#include "core/data/SqlFunctions.h"
#include "core/data/UnicodeText.h"

#include <algorithm>

namespace orvane::core::data {
namespace {

using Value = SqlQuery::Value;

// A piece of SQL with the values of its placeholders, in the order they appear in it.
// Joining pieces joins their values, so a value is given where its "?" is written.
struct Sql
{
    Sql(QString sqlText = {}) : text(std::move(sqlText)) {} // NOLINT: plain text converts implicitly

    friend Sql operator+(Sql left, const Sql& right)
    {
        left.text += right.text;
        left.values.insert(left.values.end(), right.values.cbegin(), right.values.cend());
        return left;
    }

    QString text;
    std::vector<Value> values;
};

// A placeholder and its value.
Sql bound(Value value)
{
    Sql placeholder(QStringLiteral("?"));
    placeholder.values.push_back(std::move(value));
    return placeholder;
}

// A text as the engine stores it.
Sql boundText(const QString& text)
{
    return bound(unicode::toUtf8(text));
}

// What a condition asks of the query: its WHERE text, and the index the engine must
// walk for it (empty: the engine chooses).
struct Filter
{
    Sql where;
    QString index;
};

// Names come from code, never from users; checking them still guarantees that nothing
// but a bound value can vary between runs of a statement.
bool isIdentifier(const QString& name)
{
    return !name.isEmpty() && !name.front().isDigit() && std::all_of(name.cbegin(), name.cend(), [](QChar c) {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_';
    });
}

bool namesAreIdentifiers(const Statement& statement)
{
    return isIdentifier(statement.table) &&
           std::all_of(statement.columns.cbegin(), statement.columns.cend(), isIdentifier) &&
           (!statement.where || isIdentifier(statement.where->column)) &&
           (statement.orderBy.isEmpty() || isIdentifier(statement.orderBy));
}

// "function(?, column)" for one of the pattern functions of SqlFunctions.h.
Sql like(const char* function, const Sql& pattern, const QString& column)
{
    return QLatin1String(function) + QStringLiteral("(") + pattern + QStringLiteral(", ") + column +
           QStringLiteral(")");
}

// One more than any UTF-8 continuation of a prefix: no valid UTF-8 sequence starts
// with F4 90 or above, so [prefix, prefix + F4 90) holds exactly the texts that begin with prefix.
const QByteArray BeyondUtf8("\xF4\x90");

// A `like` on a key column. With a literal start the pattern becomes a range of the key
// index; without one, the sort index of the order column is walked in order and only its
// key column is tested, so that no row of the table itself is read.
Filter keyedLike(const QString& column, const QString& value, const QString& orderBy)
{
    // The engine reads a lone surrogate as U+FFFD; the range must be bounded by the
    // pattern that the key matcher will compile.
    const QString pattern = unicode::withoutLoneSurrogates(value);
    const PatternMatcher matcher(pattern);
    const QString key = schema::searchKeyColumn(column);
    const Sql matchesPattern = like(sql::LikeKeyFunction, bound(pattern.toUtf8()), key);
    const QString prefix = matcher.literalPrefix();
    if (!prefix.isEmpty()) {
        const Sql range = key + QStringLiteral(" >= ") + bound(prefix.toUtf8()) + QStringLiteral(" AND ") + key +
                          QStringLiteral(" < ") + bound(prefix.toUtf8() + BeyondUtf8);
        return {matcher.isPlainPrefix() ? range : range + QStringLiteral(" AND ") + matchesPattern,
                schema::keyIndexName(key)};
    }
    const QString sortColumn = schema::sortKeyColumn(orderBy);
    return {matcher.isPlainPrefix() ? Sql(key + QStringLiteral(" IS NOT NULL")) : matchesPattern,
            sortColumn.isEmpty() ? QString() : schema::keyIndexName(sortColumn)};
}

Filter filter(const Statement::Condition& condition, bool keyed, const QString& orderBy)
{
    const QString& column = condition.column;
    switch (condition.op) {
    case Statement::Op::Equal:
    case Statement::Op::NotEqual: {
        const QString op = condition.op == Statement::Op::Equal ? QStringLiteral(" = ") : QStringLiteral(" <> ");
        bool isNumber = false;
        const qint64 number = condition.value.toLongLong(&isNumber);
        if (isNumber && schema::isNumericColumn(column))
            return {column + op + bound(number), {}};
        return {column + op + boundText(condition.value), {}};
    }
    case Statement::Op::Like:
        if (keyed && !schema::searchKeyColumn(column).isEmpty())
            return keyedLike(column, condition.value, orderBy);
        return {like(sql::LikeFunction, boundText(condition.value), column), {}};
    }
    return {};
}

QString order(const Statement& statement, bool keyed)
{
    const QString& column = statement.orderBy;
    if (schema::isNumericColumn(column))
        return column;
    // Equal texts come in id order, so both ways of ordering give the same total order.
    const QString sortColumn = keyed ? schema::sortKeyColumn(column) : QString();
    if (!sortColumn.isEmpty())
        return sortColumn + QStringLiteral(", ") + DB_COLUMN_ID;
    const bool dictionary = statement.table == DB_TABLE_DICTIONARY;
    return column + QStringLiteral(" COLLATE ") + QLatin1String(sql::Collation) +
           (dictionary ? QStringLiteral(", ") + DB_COLUMN_ID : QString());
}

} // namespace

std::optional<SqlQuery> SqlQuery::build(const Statement& statement, bool dictionaryKeys,
                                        const std::optional<SortKeyPart>& part)
{
    if (!namesAreIdentifiers(statement))
        return std::nullopt;
    const bool keyed = dictionaryKeys && statement.table == DB_TABLE_DICTIONARY;
    Filter where = statement.where ? filter(*statement.where, keyed, statement.orderBy) : Filter{};
    if (part) {
        const QString sortColumn = keyed ? schema::sortKeyColumn(statement.orderBy) : QString();
        if (sortColumn.isEmpty() || where.where.text.isEmpty())
            return std::nullopt;
        const Sql range = part->kind == SortKeyPart::Null ? Sql(sortColumn + QStringLiteral(" IS NULL"))
                          : part->kind == SortKeyPart::Below
                              ? sortColumn + QStringLiteral(" < ") + bound(Blob{part->key})
                              : sortColumn + QStringLiteral(" >= ") + bound(Blob{part->key});
        where.where = where.where + QStringLiteral(" AND ") + range;
    }

    Sql query = QStringLiteral("SELECT ") +
                (statement.columns.isEmpty() ? QStringLiteral("*") : statement.columns.join(u", ")) +
                QStringLiteral(" FROM ") + statement.table;
    if (!where.index.isEmpty())
        query = query + QStringLiteral(" INDEXED BY ") + where.index;
    if (!where.where.text.isEmpty())
        query = query + QStringLiteral(" WHERE ") + where.where;
    if (!statement.orderBy.isEmpty())
        query = query + QStringLiteral(" ORDER BY ") + order(statement, keyed);
    return SqlQuery{query.text.toUtf8(), std::move(query.values)};
}

void SqlQuery::bindValues(PreparedStatement& statement) const
{
    int parameter = 1;
    for (const Value& value : values) {
        if (const auto* text = std::get_if<QByteArray>(&value))
            statement.bindText(parameter, *text);
        else if (const auto* blob = std::get_if<Blob>(&value))
            statement.bindBlob(parameter, blob->bytes);
        else
            statement.bindInt64(parameter, std::get<qint64>(value));
        ++parameter;
    }
}

} // namespace orvane::core::data
