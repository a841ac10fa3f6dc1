#include "core/data/Statement.h"

#include "core/data/Schema.h"

namespace orvane::core::data {
namespace {

Statement dictionarySearch(const QString& column, const QString& prefix, const QString& listed)
{
    return {QStringLiteral("tbl_dictionary"),
            {QStringLiteral("id"), listed},
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
    return {QStringLiteral("tbl_config"), {}, Condition{QStringLiteral("name"), Op::NotEqual, {}}, {}};
}

Statement Statement::configAbout()
{
    return {QStringLiteral("tbl_config"), {}, Condition{QStringLiteral("about"), Op::NotEqual, {}}, {}};
}

Statement Statement::keyboardByInput(const QString& input)
{
    return {QStringLiteral("tbl_keyboard"), {}, Condition{QStringLiteral("input"), Op::Equal, input}, {}};
}

Statement Statement::dictionaryByScript(const QString& prefix)
{
    return dictionarySearch(QStringLiteral("m1"), prefix, QStringLiteral("m1"));
}

Statement Statement::dictionaryByTranslit(const QString& prefix)
{
    return dictionarySearch(QStringLiteral("m2"), prefix, QStringLiteral("m2"));
}

Statement Statement::dictionaryByPlain(const QString& prefix)
{
    return dictionarySearch(QStringLiteral("m3"), prefix, QStringLiteral("m2"));
}

Statement Statement::dictionaryById(qint64 id)
{
    return {QStringLiteral("tbl_dictionary"), {}, Condition{QStringLiteral("id"), Op::Equal, QString::number(id)}, {}};
}

Statement Statement::glyphsInOrder()
{
    return {QStringLiteral("tbl_glyph"), {}, std::nullopt, QStringLiteral("id")};
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
