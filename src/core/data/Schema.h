#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The tables and columns of orvane.mdb, and the extra key columns and indexes that a
// database may carry to make searching fast.
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
namespace orvane::core::data::schema {

inline constexpr const char* ConfigTable = "tbl_config";
inline constexpr const char* DictionaryTable = "tbl_dictionary";
inline constexpr const char* KeyboardTable = "tbl_keyboard";
inline constexpr const char* GlyphTable = "tbl_glyph";

// CREATE statements of the four tables with their columns (and tbl_dictionary's keys),
// then of the indexes, in the SQLite 3.15 dialect of SQLCipher 3.4.
extern const char* const CreateTables;
QByteArray createIndexes();
// The four tables with only their own columns, for a database without keys.
extern const char* const CreateTablesWithoutKeys;

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

} // namespace orvane::core::data::schema
