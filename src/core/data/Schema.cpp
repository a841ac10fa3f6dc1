#include "core/data/Schema.h"

#include "core/data/UnicodeText.h"

#include <utility>
#include <vector>

namespace orvane::core::data::schema {
namespace {

struct ColumnDefinition
{
    QLatin1StringView name;
    const char* type;
    bool isKey = false; // one of tbl_dictionary's key columns
};

struct TableDefinition
{
    QLatin1StringView name;
    std::vector<ColumnDefinition> columns;
};

// The four tables in the order they are created.
const std::vector<TableDefinition>& tables()
{
    static const std::vector<TableDefinition> definitions = {
        {DB_TABLE_DICTIONARY,
         {{DB_COLUMN_ID, "INTEGER PRIMARY KEY"},
          {DB_COLUMN_M1, "TEXT"},
          {DB_COLUMN_M2, "TEXT"},
          {DB_COLUMN_M3, "TEXT"},
          {DB_COLUMN_MEANINGS, "TEXT"},
          {DB_COLUMN_K1, "TEXT", true},
          {DB_COLUMN_K2, "TEXT", true},
          {DB_COLUMN_K3, "TEXT", true},
          {DB_COLUMN_S1, "BLOB", true},
          {DB_COLUMN_S2, "BLOB", true}}},
        {DB_TABLE_CONFIG,
         {{DB_COLUMN_NAME, "TEXT"},
          {DB_COLUMN_FNT1, "TEXT"},
          {DB_COLUMN_FNT3, "TEXT"},
          {DB_COLUMN_FNT4, "TEXT"},
          {DB_COLUMN_FNT5, "TEXT"},
          {DB_COLUMN_FSZ1, "REAL"},
          {DB_COLUMN_FSZ2, "REAL"},
          {DB_COLUMN_FSZ3, "REAL"},
          {DB_COLUMN_FSZ4, "REAL"},
          {DB_COLUMN_FSZ5, "REAL"},
          {DB_COLUMN_ABOUT, "TEXT"}}},
        {DB_TABLE_KEYBOARD, {{DB_COLUMN_INPUT, "TEXT"}, {DB_COLUMN_DISPLAY, "TEXT"}}},
        {DB_TABLE_GLYPH, {{DB_COLUMN_ID, "INTEGER"}, {DB_COLUMN_GLYPH, "TEXT"}}},
    };
    return definitions;
}

// tbl_dictionary's covering indexes, each named after the key column that leads it.
const std::vector<std::vector<QLatin1StringView>>& keyIndexes()
{
    static const std::vector<std::vector<QLatin1StringView>> indexes = {
        {DB_COLUMN_K1, DB_COLUMN_S1, DB_COLUMN_ID, DB_COLUMN_M1}, // prefix range scans on m1
        {DB_COLUMN_K2, DB_COLUMN_S2, DB_COLUMN_ID, DB_COLUMN_M2}, // prefix range scans on m2
        {DB_COLUMN_K3, DB_COLUMN_S2, DB_COLUMN_ID, DB_COLUMN_M2}, // prefix range scans on m3, listed by m2
        {DB_COLUMN_S1, DB_COLUMN_ID, DB_COLUMN_M1, DB_COLUMN_K1}, // m1 in order, for scans that no key range narrows
        {DB_COLUMN_S2, DB_COLUMN_ID, DB_COLUMN_M2, DB_COLUMN_K2, DB_COLUMN_K3}, // likewise for m2 and m3
    };
    return indexes;
}

// Each searched column with its key column, and each order column with its sort key column.
constexpr std::pair<QLatin1StringView, QLatin1StringView> SearchKeyColumns[] = {
    {DB_COLUMN_M1, DB_COLUMN_K1}, {DB_COLUMN_M2, DB_COLUMN_K2}, {DB_COLUMN_M3, DB_COLUMN_K3}};
constexpr std::pair<QLatin1StringView, QLatin1StringView> SortKeyColumns[] = {{DB_COLUMN_M1, DB_COLUMN_S1},
                                                                              {DB_COLUMN_M2, DB_COLUMN_S2}};

QString keyColumnOf(const QString& column, const auto& pairs)
{
    for (const auto& [served, key] : pairs) {
        if (column == served)
            return key;
    }
    return {};
}

QString joined(const std::vector<QLatin1StringView>& columns)
{
    QStringList names;
    for (const QLatin1StringView column : columns)
        names << column;
    return names.join(u", ");
}

} // namespace

QByteArray createTables(bool withKeys)
{
    QString sql;
    for (const TableDefinition& table : tables()) {
        QStringList columns;
        for (const ColumnDefinition& column : table.columns) {
            if (withKeys || !column.isKey)
                columns << column.name + u' ' + QLatin1StringView(column.type);
        }
        sql += QStringLiteral("CREATE TABLE ") + table.name + QStringLiteral(" (") + columns.join(u", ") +
               QStringLiteral(");\n");
    }
    return sql.toUtf8();
}

QByteArray createIndexes()
{
    QString sql;
    for (const std::vector<QLatin1StringView>& index : keyIndexes()) {
        sql += QStringLiteral("CREATE INDEX ") + keyIndexName(index.front()) + QStringLiteral(" ON ") +
               DB_TABLE_DICTIONARY + QStringLiteral(" (") + joined(index) + QStringLiteral(");\n");
    }
    return (sql + QStringLiteral("CREATE INDEX ix_keyboard_input ON ") + DB_TABLE_KEYBOARD + QStringLiteral(" (") +
            DB_COLUMN_INPUT + QStringLiteral(");\n"))
        .toUtf8();
}

QStringList tableColumns(QLatin1StringView table, bool withKeys)
{
    QStringList columns;
    for (const TableDefinition& definition : tables()) {
        for (const ColumnDefinition& column : definition.columns) {
            if (definition.name == table && (withKeys || !column.isKey))
                columns << column.name;
        }
    }
    return columns;
}

QStringList keyColumns()
{
    QStringList columns;
    for (const TableDefinition& table : tables()) {
        for (const ColumnDefinition& column : table.columns) {
            if (column.isKey)
                columns << column.name;
        }
    }
    return columns;
}

QStringList keyIndexNames()
{
    QStringList names;
    for (const std::vector<QLatin1StringView>& index : keyIndexes())
        names << keyIndexName(index.front());
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
    return keyColumnOf(column, SearchKeyColumns);
}

QString sortKeyColumn(const QString& column)
{
    return keyColumnOf(column, SortKeyColumns);
}

bool isNumericColumn(const QString& column)
{
    for (const QLatin1StringView numeric :
         {DB_COLUMN_ID, DB_COLUMN_FSZ1, DB_COLUMN_FSZ2, DB_COLUMN_FSZ3, DB_COLUMN_FSZ4, DB_COLUMN_FSZ5}) {
        if (column == numeric)
            return true;
    }
    return false;
}

QString keyIndexName(const QString& keyColumn)
{
    return QStringLiteral("ix_dictionary_") + keyColumn;
}

} // namespace orvane::core::data::schema
