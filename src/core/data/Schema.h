#pragma once

#include <QByteArray>
#include <QLatin1StringView>
#include <QString>
#include <QStringList>

namespace orvane::core::data {

// The tables and columns of orvane.mdb: the file format. Every CREATE, INSERT and SELECT
// names them through these.
inline constexpr QLatin1StringView DB_TABLE_CONFIG{"tbl_config"};
inline constexpr QLatin1StringView DB_TABLE_DICTIONARY{"tbl_dictionary"};
inline constexpr QLatin1StringView DB_TABLE_KEYBOARD{"tbl_keyboard"};
inline constexpr QLatin1StringView DB_TABLE_GLYPH{"tbl_glyph"};

inline constexpr QLatin1StringView DB_COLUMN_ID{"id"}; // of tbl_dictionary and tbl_glyph
// tbl_dictionary: the headword in its native script, transliterated, in plain Latin letters.
inline constexpr QLatin1StringView DB_COLUMN_M1{"m1"};
inline constexpr QLatin1StringView DB_COLUMN_M2{"m2"};
inline constexpr QLatin1StringView DB_COLUMN_M3{"m3"};
inline constexpr QLatin1StringView DB_COLUMN_MEANINGS{"meanings"};
// tbl_dictionary's key columns (below).
inline constexpr QLatin1StringView DB_COLUMN_K1{"k1"};
inline constexpr QLatin1StringView DB_COLUMN_K2{"k2"};
inline constexpr QLatin1StringView DB_COLUMN_K3{"k3"};
inline constexpr QLatin1StringView DB_COLUMN_S1{"s1"};
inline constexpr QLatin1StringView DB_COLUMN_S2{"s2"};
// tbl_config: a settings row has a name, fonts and sizes; the About text has a row of its own.
inline constexpr QLatin1StringView DB_COLUMN_NAME{"name"};
inline constexpr QLatin1StringView DB_COLUMN_FNT1{"fnt1"};
inline constexpr QLatin1StringView DB_COLUMN_FNT3{"fnt3"};
inline constexpr QLatin1StringView DB_COLUMN_FNT4{"fnt4"};
inline constexpr QLatin1StringView DB_COLUMN_FNT5{"fnt5"};
inline constexpr QLatin1StringView DB_COLUMN_FSZ1{"fsz1"};
inline constexpr QLatin1StringView DB_COLUMN_FSZ2{"fsz2"};
inline constexpr QLatin1StringView DB_COLUMN_FSZ3{"fsz3"};
inline constexpr QLatin1StringView DB_COLUMN_FSZ4{"fsz4"};
inline constexpr QLatin1StringView DB_COLUMN_FSZ5{"fsz5"};
inline constexpr QLatin1StringView DB_COLUMN_ABOUT{"about"};
// tbl_keyboard: two typed characters and the letter they become.
inline constexpr QLatin1StringView DB_COLUMN_INPUT{"input"};
inline constexpr QLatin1StringView DB_COLUMN_DISPLAY{"display"};
// tbl_glyph
inline constexpr QLatin1StringView DB_COLUMN_GLYPH{"glyph"};

// The extra key columns and indexes that a database may carry to make searching fast.
//
// Key column contract for tbl_dictionary (written by the builder, used when present):
//   k1, k2, k3  TEXT  searchKey() of m1, m2, m3: the text as the pattern matcher
//                     compares it (full Unicode case folding, then NFC).
//   s1, s2      BLOB  sortKey() of m1, m2: ICU root collation sort key followed by the
//                     text's UTF-8 bytes, so memcmp order is collation order with ties
//                     broken by code point; a total order.
// Covering indexes on these columns (listed in Schema.cpp) make every search an index
// walk that never touches the meanings; ix_keyboard_input serves exact key look-ups.
// Texts are stored as UTF-8, a lone surrogate as U+FFFD. Searches list equal texts in id order.
// A database without these columns is still read correctly: each of its searches looks
// at every row (see Scan.h).
namespace schema {

// The CREATE statements of the four tables with their columns (tbl_dictionary's key
// columns only `withKeys`), in the SQLite 3.15 dialect of SQLCipher 3.4.
QByteArray createTables(bool withKeys);
// The CREATE statements of the key indexes and of ix_keyboard_input.
QByteArray createIndexes();
// The columns of `table` in the order CREATE TABLE declares them.
QStringList tableColumns(QLatin1StringView table, bool withKeys);
// tbl_dictionary's key columns: k1, k2, k3, s1, s2.
QStringList keyColumns();

// True for the columns that hold numbers (id, fsz1..fsz5): compared and ordered as numbers.
bool isNumericColumn(const QString& column);

// The covering index led by a key column ("k2" -> "ix_dictionary_k2").
QString keyIndexName(const QString& keyColumn);
// The names of all of tbl_dictionary's key indexes: a database has its keys when it has them all.
QStringList keyIndexNames();

// The text as the matcher compares it: full case folding, then NFC.
QString searchKey(const QString& text);
// Collation sort key + UTF-8 bytes (see above).
QByteArray sortKey(const QString& text);

// The key column that serves a searched column ("m1" -> "k1"), and the sort key column
// that serves an order column ("m2" -> "s2"); empty when there is none.
QString searchKeyColumn(const QString& column);
QString sortKeyColumn(const QString& column);

} // namespace schema
} // namespace orvane::core::data
