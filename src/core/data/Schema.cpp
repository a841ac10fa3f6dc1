#include "core/data/Schema.h"

#include "core/data/UnicodeText.h"

namespace orvane::core::data::schema {

// The tables other than tbl_dictionary are the same with and without keys.
#define ORVANE_OTHER_TABLES                                                                                            \
    "CREATE TABLE tbl_config (name TEXT, fnt1 TEXT, fnt3 TEXT, fnt4 TEXT, fnt5 TEXT,"                                  \
    " fsz1 REAL, fsz2 REAL, fsz3 REAL, fsz4 REAL, fsz5 REAL, about TEXT);\n"                                           \
    "CREATE TABLE tbl_keyboard (input TEXT, display TEXT);\n"                                                          \
    "CREATE TABLE tbl_glyph (id INTEGER, glyph TEXT);\n"

const char* const CreateTables =
    "CREATE TABLE tbl_dictionary (id INTEGER PRIMARY KEY, m1 TEXT, m2 TEXT, m3 TEXT, meanings TEXT,"
    " k1 TEXT, k2 TEXT, k3 TEXT, s1 BLOB, s2 BLOB);\n" ORVANE_OTHER_TABLES;

const char* const CreateTablesWithoutKeys = "CREATE TABLE tbl_dictionary (id INTEGER PRIMARY KEY, m1 TEXT, m2 TEXT, m3 "
                                            "TEXT, meanings TEXT);\n" ORVANE_OTHER_TABLES;

#undef ORVANE_OTHER_TABLES

namespace {

// tbl_dictionary's covering indexes, each named after the key column that leads it.
struct KeyIndex
{
    const char* keyColumn;
    const char* columns;
};
constexpr KeyIndex KeyIndexes[] = {
    {"k1", "k1, s1, id, m1"},     // prefix range scans on m1
    {"k2", "k2, s2, id, m2"},     // prefix range scans on m2
    {"k3", "k3, s2, id, m2"},     // prefix range scans on m3, listed by m2
    {"s1", "s1, id, m1, k1"},     // m1 in order, for scans that no key range narrows
    {"s2", "s2, id, m2, k2, k3"}, // likewise for m2 and m3
};

} // namespace

QByteArray createIndexes()
{
    QByteArray sql;
    for (const KeyIndex& index : KeyIndexes) {
        sql += "CREATE INDEX " + keyIndexName(QLatin1String(index.keyColumn)).toLatin1() + " ON tbl_dictionary (" +
               index.columns + ");\n";
    }
    return sql + "CREATE INDEX ix_keyboard_input ON tbl_keyboard (input);\n";
}

QStringList keyIndexNames()
{
    QStringList names;
    for (const KeyIndex& index : KeyIndexes)
        names << keyIndexName(QLatin1String(index.keyColumn));
    return names;
}

QString searchKey(const QString& text)
{
    return unicode::foldForSearch(text);
}

QByteArray sortKey(const QString& text)
{
    return unicode::collationKey(text);
}

QString searchKeyColumn(const QString& column)
{
    if (column == u"m1" || column == u"m2" || column == u"m3")
        return u'k' + column.mid(1);
    return {};
}

QString sortKeyColumn(const QString& column)
{
    if (column == u"m1" || column == u"m2")
        return u's' + column.mid(1);
    return {};
}

bool isNumericColumn(const QString& column)
{
    return column == u"id" || column.startsWith(u"fsz");
}

QString keyIndexName(const QString& keyColumn)
{
    return QStringLiteral("ix_dictionary_") + keyColumn;
}

} // namespace orvane::core::data::schema
