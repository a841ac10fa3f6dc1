#pragma once

#include <QString>
#include <QStringList>
#include <map>
#include <optional>

namespace orvane::core::data {

// One SELECT over one table, with at most one condition and at most one order column.
// Values are always bound, never pasted into SQL, so no text a user types can change
// what a statement does (an apostrophe is an ordinary character).
struct Statement
{
    enum class Op
    {
        Equal,
        NotEqual,
        Like
    };

    struct Condition
    {
        QString column;
        Op op = Op::Equal;
        QString value; // for Like: a pattern of PatternMatcher's language
    };

    QString table;
    QStringList columns; // the columns the caller reads; empty means all
    std::optional<Condition> where;
    QString orderBy; // empty: the engine's order

    // The statement as the classic SQL text, for diagnostics only (never executed).
    QString displaySql() const;

    // The eight statements the program issues. The three searches select only id and the
    // listed column (m1, or m2), so listing many hits never reads their meanings.
    static Statement configSettings();                            // tbl_config where name <> ''
    static Statement configAbout();                               // tbl_config where about <> ''
    static Statement keyboardByInput(const QString& input);       // tbl_keyboard where input = value
    static Statement dictionaryByScript(const QString& prefix);   // m1 like prefix* order by m1
    static Statement dictionaryByTranslit(const QString& prefix); // m2 like prefix* order by m2
    static Statement dictionaryByPlain(const QString& prefix);    // m3 like prefix* order by m2
    static Statement dictionaryById(qint64 id);                   // id = number
    static Statement glyphsInOrder();                             // tbl_glyph order by id

    // The tables these statements read, each with the columns they name (selected,
    // compared or ordered by): what a file must have under those names to be read.
    static std::map<QString, QStringList> namedColumns();
};

} // namespace orvane::core::data
