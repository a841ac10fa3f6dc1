#include "core/data/MeaningIndex.h"

#include "core/data/Connection.h"
#include "core/data/PreparedStatement.h"
#include "core/data/UnicodeText.h"

#include <algorithm>
#include <cmath>

namespace orvane::core::data::meaning {

static_assert(RuleVersion == 1, "the table names below carry the version of the word rule");
const char* const IndexTable = "tbl_meaning_index_v1";
const char* const OrderTable = "tbl_meaning_order_v1";

// The text is folded and split already, so the engine's tokenizer only has to find the
// same words again: every character of a word is a token character to it, and it neither
// folds further nor removes diacritics.
const char* const IndexDefinition =
    "CREATE VIRTUAL TABLE tbl_meaning_index_v1 USING fts5(words, content='', detail=full, columnsize=1,"
    " tokenize=\"unicode61 remove_diacritics 0 categories 'L* N* Co M*'\")";
const char* const OrderDefinition = "CREATE TABLE tbl_meaning_order_v1 (position INTEGER PRIMARY KEY, id INTEGER NOT NULL)";

namespace {

const char* const Ranked = "SELECT rowid FROM tbl_meaning_index_v1 WHERE tbl_meaning_index_v1 MATCH ?1"
                           " ORDER BY bm25(tbl_meaning_index_v1), rowid";
const char* const IdAt = "SELECT id FROM tbl_meaning_order_v1 WHERE position = ?1";

QString columnText(const PreparedStatement& statement, int column)
{
    return unicode::fromUtf8(statement.columnText(column));
}

// An entry that holds every phrase, and what its relevance is computed from.
struct Candidate
{
    qint64 id;
    std::optional<QString> headword; // m1, for the list order among equals
    double length;                   // in words
    std::vector<int> frequencies;
    double score = 0;
};

// The engine's BM25 (fts5_bm25), term for term and in the same order, so that equal
// relevance is equal here too and the list order decides alike.
void score(std::vector<Candidate>& candidates, qint64 rows, qint64 words, const std::vector<qint64>& entriesWith)
{
    const double k1 = 1.2;
    const double b = 0.75;
    const double averageLength = double(words) / double(rows);
    std::vector<double> weights;
    for (const qint64 hits : entriesWith) {
        double idf = std::log((rows - hits + 0.5) / (hits + 0.5));
        weights.push_back(idf <= 0.0 ? 1e-6 : idf);
    }
    for (Candidate& candidate : candidates) {
        double sum = 0.0;
        for (size_t i = 0; i < weights.size(); ++i) {
            const double frequency = candidate.frequencies[i];
            sum += weights[i] *
                   ((frequency * (k1 + 1.0)) / (frequency + k1 * (1 - b + b * candidate.length / averageLength)));
        }
        candidate.score = -1.0 * sum;
    }
}

// The list order: m1 by collation (null first), then id.
bool listedBefore(const Candidate& left, const Candidate& right)
{
    if (left.headword.has_value() != right.headword.has_value())
        return !left.headword.has_value();
    if (left.headword) {
        if (const int order = unicode::compareCollated(*left.headword, *right.headword))
            return order < 0;
    }
    return left.id < right.id;
}

} // namespace

QByteArray matchExpression(const Query& query)
{
    QByteArray expression;
    for (const Phrase& phrase : query) {
        if (!expression.isEmpty())
            expression += ' ';
        expression += '"' + unicode::toUtf8(phrase.words.join(u' ')).replace("\"", "\"\"") + '"';
        if (phrase.prefix)
            expression += " *";
    }
    return expression;
}

bool hasIndex(Connection& connection)
{
    PreparedStatement definition(connection, "SELECT sql FROM sqlite_master WHERE type = 'table' AND name = ?1");
    if (!definition.isValid())
        return false;
    definition.bindText(1, IndexTable);
    return definition.step() == PreparedStatement::Step::Row &&
           columnText(definition, 0) == QLatin1String(IndexDefinition) &&
           PreparedStatement(connection, Ranked).isValid() && PreparedStatement(connection, IdAt).isValid();
}

std::optional<MeaningHits> searchIndex(Connection& connection, const Query& query, qsizetype limit)
{
    MeaningHits hits;
    if (query.empty())
        return hits;
    PreparedStatement ranked(connection, Ranked);
    PreparedStatement idAt(connection, IdAt);
    if (!ranked.isValid() || !idAt.isValid())
        return std::nullopt;
    ranked.bindText(1, matchExpression(query));
    std::vector<qint64> positions;
    PreparedStatement::Step stepped;
    while ((stepped = ranked.step()) == PreparedStatement::Step::Row) {
        if (hits.total++ < limit)
            positions.push_back(ranked.columnInt64(0));
    }
    if (stepped != PreparedStatement::Step::Done)
        return std::nullopt;
    for (const qint64 position : positions) {
        idAt.reset();
        idAt.bindInt64(1, position);
        if (idAt.step() != PreparedStatement::Step::Row)
            return std::nullopt;
        hits.ids.push_back(idAt.columnInt64(0));
    }
    return hits;
}

std::optional<MeaningHits> searchWithoutIndex(Connection& connection, const Query& query, qsizetype limit)
{
    MeaningHits hits;
    if (query.empty())
        return hits;
    // One entry at a time: only the entries that hold every phrase are kept.
    PreparedStatement entries(connection, "SELECT id, m1, meanings FROM tbl_dictionary");
    if (!entries.isValid())
        return std::nullopt;
    const Matcher matcher(query);
    std::vector<Candidate> candidates;
    std::vector<qint64> entriesWith(query.size(), 0);
    qint64 rows = 0, words = 0;
    PreparedStatement::Step stepped;
    while ((stepped = entries.step()) == PreparedStatement::Step::Row) {
        const std::vector<Word> found = meaning::words(columnText(entries, 2));
        const std::vector<int> frequencies = matcher.frequencies(found);
        ++rows;
        words += qint64(found.size());
        for (size_t i = 0; i < frequencies.size(); ++i)
            entriesWith[i] += frequencies[i] > 0 ? 1 : 0;
        if (std::all_of(frequencies.begin(), frequencies.end(), [](int count) { return count > 0; })) {
            const bool noHeadword = entries.columnType(1) == PreparedStatement::Type::Null;
            candidates.push_back({entries.columnInt64(0),
                                  noHeadword ? std::nullopt : std::optional(columnText(entries, 1)),
                                  double(found.size()), frequencies});
        }
    }
    if (stepped != PreparedStatement::Step::Done)
        return std::nullopt;
    score(candidates, rows, words, entriesWith);
    const auto kept = std::min<qsizetype>(limit, qsizetype(candidates.size()));
    std::partial_sort(candidates.begin(), candidates.begin() + kept, candidates.end(),
                      [](const Candidate& left, const Candidate& right) {
                          return left.score != right.score ? left.score < right.score : listedBefore(left, right);
                      });
    hits.total = qint64(candidates.size());
    for (qsizetype i = 0; i < kept; ++i)
        hits.ids.push_back(candidates[size_t(i)].id);
    return hits;
}

} // namespace orvane::core::data::meaning
