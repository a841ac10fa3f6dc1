#pragma once

#include "core/data/MeaningText.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

namespace orvane::core::data {

class Connection;

// The hits of a search in the meanings: the ids of the best `limit` entries, best first,
// and how many entries matched in all.
struct MeaningHits
{
    std::vector<qint64> ids;
    qint64 total = 0;
};

// The meaning index the builder writes, and the search in the meanings with or without it.
//
// The index is a full-text table of the engine (FTS5, contentless) over the folded words of
// every entry's meanings (MeaningText.h), one row per entry of tbl_dictionary. Its row ids
// are the entries' places in the list order of the native-script search (sort key of m1,
// then id), and a small table gives the entry id of each place: hits of equal relevance
// then come in list order without reading anything more. The table names carry the
// version of the word rule.
//
// Relevance is the engine's BM25 (k1 = 1.2, b = 0.75, each phrase's weight by the number of
// entries it occurs in, the length of a meaning counted in words). A file without the index
// is searched by reading every entry's meanings and computing the same, so that the hits
// and their order are the same.
namespace meaning {

extern const char* const IndexTable; // tbl_meaning_index_v<RuleVersion>
extern const char* const OrderTable; // tbl_meaning_order_v<RuleVersion>: position -> id
extern const char* const IndexDefinition; // the CREATE statements of both
extern const char* const OrderDefinition;

// The query as an expression of the engine's full-text syntax: every phrase a string in
// double quotes, prefix phrases followed by "*". Nothing the user typed is read as syntax.
QByteArray matchExpression(const Query& query);

// True when `connection` holds the index exactly as the builder writes it (an object of
// another shape under its names is left alone, and the search reads every entry instead).
bool hasIndex(Connection& connection);

// The best `limit` hits of `query`; nullopt when a statement fails. An empty query finds nothing.
std::optional<MeaningHits> searchIndex(Connection& connection, const Query& query, qsizetype limit);
std::optional<MeaningHits> searchWithoutIndex(Connection& connection, const Query& query, qsizetype limit);

// Writes the index on `connection`, a database being built whose tbl_dictionary is
// complete; `dictionaryKeys` when it has its sort keys and their indexes. False, with the
// reason in *error, on failure. In the writer's library.
bool writeIndex(Connection& connection, bool dictionaryKeys, QString* error);

} // namespace meaning
} // namespace orvane::core::data
