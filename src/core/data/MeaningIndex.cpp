#include "core/data/MeaningIndex.h"

#include "core/data/Connection.h"
#include "core/data/SqlFunctions.h"
#include "core/data/UnicodeText.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace orvane::core::data::meaning {

static_assert(RuleVersion == 1, "the table names below carry the version of the word rule");
const char* const IndexTable = "tbl_meaning_index_v1";
const char* const OrderTable = "tbl_meaning_order_v1";

namespace {

// The text is folded and split already, so the engine's tokenizer only has to find the
// same words again: every character of a word is a token character to it, and it neither
// folds further nor removes diacritics.
const char* const CreateIndex =
    "CREATE VIRTUAL TABLE tbl_meaning_index_v1 USING fts5(words, content='', detail=full, columnsize=1,"
    " tokenize=\"unicode61 remove_diacritics 0 categories 'L* N* Co M*'\")";
const char* const CreateOrder = "CREATE TABLE tbl_meaning_order_v1 (position INTEGER PRIMARY KEY, id INTEGER NOT NULL)";
const char* const Ranked = "SELECT rowid FROM tbl_meaning_index_v1 WHERE tbl_meaning_index_v1 MATCH ?1"
                           " ORDER BY bm25(tbl_meaning_index_v1), rowid";
const char* const IdAt = "SELECT id FROM tbl_meaning_order_v1 WHERE position = ?1";

QString columnText(sqlite3_stmt* statement, int column)
{
    return unicode::fromUtf8(QByteArrayView(reinterpret_cast<const char*>(sqlite3_column_text(statement, column)),
                                            sqlite3_column_bytes(statement, column)));
}

void bindText(sqlite3_stmt* statement, int parameter, const QByteArray& utf8)
{
    sqlite3_bind_text(statement, parameter, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
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
    Prepared definition(connection, "SELECT sql FROM sqlite_master WHERE type = 'table' AND name = ?1");
    if (!definition.isValid())
        return false;
    sqlite3_bind_text(definition.handle(), 1, IndexTable, -1, SQLITE_STATIC);
    return definition.step() == SQLITE_ROW && columnText(definition.handle(), 0) == QLatin1String(CreateIndex) &&
           Prepared(connection, Ranked).isValid() && Prepared(connection, IdAt).isValid();
}

std::optional<MeaningHits> searchIndex(Connection& connection, const Query& query, qsizetype limit)
{
    MeaningHits hits;
    if (query.empty())
        return hits;
    Prepared ranked(connection, Ranked);
    Prepared idAt(connection, IdAt);
    if (!ranked.isValid() || !idAt.isValid())
        return std::nullopt;
    bindText(ranked.handle(), 1, matchExpression(query));
    std::vector<qint64> positions;
    int stepped = SQLITE_ROW;
    while ((stepped = ranked.step()) == SQLITE_ROW) {
        if (hits.total++ < limit)
            positions.push_back(sqlite3_column_int64(ranked.handle(), 0));
    }
    if (stepped != SQLITE_DONE)
        return std::nullopt;
    for (const qint64 position : positions) {
        idAt.reset();
        sqlite3_bind_int64(idAt.handle(), 1, position);
        if (idAt.step() != SQLITE_ROW)
            return std::nullopt;
        hits.ids.push_back(sqlite3_column_int64(idAt.handle(), 0));
    }
    return hits;
}

std::optional<MeaningHits> searchWithoutIndex(Connection& connection, const Query& query, qsizetype limit)
{
    MeaningHits hits;
    if (query.empty())
        return hits;
    // One entry at a time: only the entries that hold every phrase are kept.
    Prepared entries(connection, "SELECT id, m1, meanings FROM tbl_dictionary");
    if (!entries.isValid())
        return std::nullopt;
    const Matcher matcher(query);
    std::vector<Candidate> candidates;
    std::vector<qint64> entriesWith(query.size(), 0);
    qint64 rows = 0, words = 0;
    int stepped = SQLITE_ROW;
    while ((stepped = entries.step()) == SQLITE_ROW) {
        sqlite3_stmt* row = entries.handle();
        const std::vector<Word> found = meaning::words(columnText(row, 2));
        const std::vector<int> frequencies = matcher.frequencies(found);
        ++rows;
        words += qint64(found.size());
        for (size_t i = 0; i < frequencies.size(); ++i)
            entriesWith[i] += frequencies[i] > 0 ? 1 : 0;
        if (std::all_of(frequencies.begin(), frequencies.end(), [](int count) { return count > 0; })) {
            const bool noHeadword = sqlite3_column_type(row, 1) == SQLITE_NULL;
            candidates.push_back({sqlite3_column_int64(row, 0),
                                  noHeadword ? std::nullopt : std::optional(columnText(row, 1)),
                                  double(found.size()), frequencies});
        }
    }
    if (stepped != SQLITE_DONE)
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

bool writeIndex(sqlite3* connection, bool dictionaryKeys, QString* error)
{
    const auto fail = [&](const char* reason = nullptr) {
        *error = QString::fromUtf8(reason ? reason : sqlite3_errmsg(connection));
        return false;
    };
    struct Finalizer
    {
        void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
    };
    using Owned = std::unique_ptr<sqlite3_stmt, Finalizer>;
    const auto prepare = [connection](const char* sql) {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(connection, sql, -1, &statement, nullptr);
        return Owned(statement);
    };
    // The collation serves the list order of a database without sort keys.
    // Built at once and merged once at the end: no merging on the way, and large batches.
    if (!sql::registerFunctions(connection) || sqlite3_exec(connection, CreateIndex, nullptr, nullptr, nullptr) ||
        sqlite3_exec(connection, CreateOrder, nullptr, nullptr, nullptr) ||
        sqlite3_exec(connection,
                     "INSERT INTO tbl_meaning_index_v1 (tbl_meaning_index_v1, rank) VALUES ('automerge', 0);"
                     " INSERT INTO tbl_meaning_index_v1 (tbl_meaning_index_v1, rank) VALUES ('hashsize', 67108864);",
                     nullptr, nullptr, nullptr))
        return fail();

    // The folded words of every entry, read in id order (the table's own), held back to back.
    QByteArray folded;
    std::vector<std::pair<qint64, qsizetype>> ends; // id, where its words end in `folded`, by id
    {
        const Owned entries = prepare("SELECT id, meanings FROM tbl_dictionary ORDER BY id");
        int read = SQLITE_ROW;
        while (entries && (read = sqlite3_step(entries.get())) == SQLITE_ROW) {
            folded += unicode::toUtf8(foldedWords(columnText(entries.get(), 1)));
            ends.emplace_back(sqlite3_column_int64(entries.get(), 0), folded.size());
        }
        if (!entries || read != SQLITE_DONE)
            return fail();
    }
    // Then written in list order, so that the index's row ids are the places in it.
    const Owned order = prepare(dictionaryKeys
                                        ? "SELECT id FROM tbl_dictionary ORDER BY s1, id"
                                        : "SELECT id FROM tbl_dictionary ORDER BY m1 COLLATE orvane_unicode, id");
    const Owned addWords = prepare("INSERT INTO tbl_meaning_index_v1 (rowid, words) VALUES (?1, ?2)");
    const Owned addPlace = prepare("INSERT INTO tbl_meaning_order_v1 (position, id) VALUES (?1, ?2)");
    if (!order || !addWords || !addPlace)
        return fail();
    qint64 position = 0;
    int stepped = SQLITE_ROW;
    while ((stepped = sqlite3_step(order.get())) == SQLITE_ROW) {
        const qint64 id = sqlite3_column_int64(order.get(), 0);
        const auto entry = std::lower_bound(ends.begin(), ends.end(), std::pair(id, qsizetype(0)));
        if (entry == ends.end() || entry->first != id)
            return fail("tbl_dictionary changed while its meanings were indexed");
        const qsizetype begin = entry == ends.begin() ? 0 : std::prev(entry)->second;
        ++position;
        sqlite3_bind_int64(addWords.get(), 1, position);
        sqlite3_bind_text(addWords.get(), 2, folded.constData() + begin, int(entry->second - begin), SQLITE_STATIC);
        sqlite3_bind_int64(addPlace.get(), 1, position);
        sqlite3_bind_int64(addPlace.get(), 2, id);
        const bool added = sqlite3_step(addWords.get()) == SQLITE_DONE && sqlite3_step(addPlace.get()) == SQLITE_DONE;
        sqlite3_reset(addWords.get());
        sqlite3_reset(addPlace.get());
        if (!added)
            return fail();
    }
    // One merged segment reads fastest and takes the least room.
    if (stepped != SQLITE_DONE || sqlite3_exec(connection, "INSERT INTO tbl_meaning_index_v1 (tbl_meaning_index_v1)"
                                                           " VALUES ('optimize')",
                                               nullptr, nullptr, nullptr))
        return fail();
    return true;
}

} // namespace orvane::core::data::meaning
