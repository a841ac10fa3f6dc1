#include "core/data/Statement.h"

#include "core/data/Schema.h"

namespace orvane::core::data {
namespace {

Statement dictionarySearch(const QString& column, const QString& prefix, const QString& listed)
{
    return {DB_TABLE_DICTIONARY,
            {DB_COLUMN_ID, listed},
            Statement::Condition{column, Statement::Op::Like, prefix + u'*'},
            listed};
}

} // namespace

QString Statement::displaySql() const
{
    QString sql = QStringLiteral("select * from ") + table;
    if (where) {
        sql += QStringLiteral(" where ") + where->column;
        switch (where->op) {
        case Op::Equal:
            sql += schema::isNumericColumn(where->column) ? QStringLiteral(" =") + where->value
                                                          : QStringLiteral("='") + where->value + u'\'';
            break;
        case Op::NotEqual:
            sql += QStringLiteral(" <> '") + where->value + u'\'';
            break;
        case Op::Like:
            sql += QStringLiteral(" like '") + where->value + u'\'';
            break;
        }
    }
    if (!orderBy.isEmpty())
        sql += QStringLiteral(" order by ") + orderBy;
    return sql;
}

Statement Statement::configSettings()
{
    return {DB_TABLE_CONFIG, {}, Condition{DB_COLUMN_NAME, Op::NotEqual, {}}, {}};
}

Statement Statement::configAbout()
{
    return {DB_TABLE_CONFIG, {}, Condition{DB_COLUMN_ABOUT, Op::NotEqual, {}}, {}};
}

Statement Statement::keyboardByInput(const QString& input)
{
    return {DB_TABLE_KEYBOARD, {}, Condition{DB_COLUMN_INPUT, Op::Equal, input}, {}};
}

Statement Statement::dictionaryByScript(const QString& prefix)
{
    return dictionarySearch(DB_COLUMN_M1, prefix, DB_COLUMN_M1);
}

Statement Statement::dictionaryByTranslit(const QString& prefix)
{
    return dictionarySearch(DB_COLUMN_M2, prefix, DB_COLUMN_M2);
}

Statement Statement::dictionaryByPlain(const QString& prefix)
{
    return dictionarySearch(DB_COLUMN_M3, prefix, DB_COLUMN_M2);
}

Statement Statement::dictionaryById(qint64 id)
{
    return {DB_TABLE_DICTIONARY, {}, Condition{DB_COLUMN_ID, Op::Equal, QString::number(id)}, {}};
}

Statement Statement::glyphsInOrder()
{
    return {DB_TABLE_GLYPH, {}, std::nullopt, DB_COLUMN_ID};
}

std::map<QString, QStringList> Statement::namedColumns()
{
    std::map<QString, QStringList> tables;
    for (const Statement& statement :
         {configSettings(), configAbout(), keyboardByInput({}), dictionaryByScript({}), dictionaryByTranslit({}),
          dictionaryByPlain({}), dictionaryById(0), glyphsInOrder()}) {
        QStringList& columns = tables[statement.table];
        columns += statement.columns;
        if (statement.where)
            columns << statement.where->column;
        if (!statement.orderBy.isEmpty())
            columns << statement.orderBy;
        columns.removeDuplicates();
    }
    return tables;
}

} // namespace orvane::core::data
