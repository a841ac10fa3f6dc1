#pragma once

#include "core/data/Database.h"
#include "core/data/MeaningText.h"

#include <QAbstractTableModel>
#include <QString>
#include <optional>
#include <vector>

namespace orvane::core::dictionary {

// The search in the meanings, as the "Search in meanings" window and `orvane --define
// --meanings` put it.
//
// The query language, read by this code alone (never handed on as the engine's syntax):
// - words, separated by spaces: an entry must hold every one of them as a whole word;
// - word* : a word that begins so;
// - "two words" : the words one after another; a quote left open runs to the end;
// - case, accents and diacritics are ignored (MeaningText.h); any other character that is
//   no letter, number or mark separates words, so "well-being" is the phrase "well being".
// A term without any word drops out; a query without terms finds nothing. Only the first
// MaxQueryLength characters and the first MaxTerms terms are read.
inline constexpr qsizetype MaxQueryLength = 1000;
inline constexpr int MaxTerms = 16;
// Hits beyond this many are counted but not listed.
inline constexpr qsizetype MaxListedMeaningHits = 1000;

data::meaning::Query parseMeaningQuery(QStringView text);

struct MeaningSearchResult
{
    data::meaning::Query query;
    data::MeaningHits hits;
};
// Runs `text` as a query on `database`: the best `limit` hits and the total. Nothing
// without a database.
MeaningSearchResult searchMeanings(const data::DatabaseHandle& database, QStringView text,
                                   qsizetype limit = MaxListedMeaningHits);

// The line that counts the hits: "1 entry", "37 entries", "The best 1,000 of 4,217
// entries", "No entry holds these words.", or for a query without words "Type the words
// to look for.". Numbers in the user's locale.
QString meaningCountText(const MeaningSearchResult& result);

// The hits of a meaning search as a list shows them: the headword (m1) in column 0, the
// words of the meanings that matched in column 1 ("soul, souls"), the entry id in
// EntryIdRole. A row's entry is read only when the row is first shown, so a thousand hits
// cost a thousand look-ups only when all are scrolled through.
class MeaningHitModel : public QAbstractTableModel
{
public:
    static constexpr int EntryIdRole = Qt::UserRole;
    enum Column
    {
        HeadwordColumn,
        MatchedWordsColumn
    };

    using QAbstractTableModel::QAbstractTableModel;

    void setResult(data::DatabaseHandle database, const MeaningSearchResult& result);
    void clear();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    struct Shown
    {
        QString headword, matchedWords;
    };
    const Shown& shown(int row) const;

    data::DatabaseHandle m_database;
    std::optional<data::meaning::Matcher> m_matcher;
    std::vector<qint64> m_ids;
    mutable std::vector<std::optional<Shown>> m_shown;
};

} // namespace orvane::core::dictionary
