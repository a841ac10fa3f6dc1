#pragma once

#include "core/data/Database.h"
#include "core/data/Statement.h"

#include <QString>
#include <QtGlobal>
#include <vector>

namespace orvane::core::dictionary {

// Which search filled the result list; decides the header of a composed entry.
enum class SearchMode : qint16
{
    Latin = 0,       // transliteration or without diacritics: the header is m1
    NativeScript = 1 // the header is m2
};

// When a search button hands the keyboard focus to the result list.
enum class ListFocus
{
    AfterSearch,              // always, once the list is filled
    BeforeSearchWhenBoxFilled // only when the box held text, before the rows arrive
};

// The points in which the three searches differ; everything else is shared.
struct SearchKind
{
    SearchMode searchMode; // recorded when the button is pressed
    bool trimsText;        // the statement gets the text without leading and trailing spaces
    bool skipsBlankText;   // no statement at all when the trimmed text is empty
    data::Statement (*statement)(const QString& prefix);
    QLatin1StringView listedColumn; // the column shown in the list (the id always rides along)
    ListFocus listFocus;
    QStringView placeholder; // the box's initial text, cleared by focus only when exact
};

extern const SearchKind ScriptSearch;   // native script, column m1
extern const SearchKind TranslitSearch; // transliteration, column m2
extern const SearchKind PlainSearch;    // without diacritics, matches m3, lists m2

// The hits of one search in statement order: what row n shows and which entry it stands
// for. The terms lie back to back in one text, since a million separate strings would
// cost a million allocations when a search lists every entry.
class SearchResults
{
public:
    void append(qint64 id, QStringView term);

    qsizetype size() const { return static_cast<qsizetype>(m_ids.size()); }
    QString term(qsizetype row) const;
    qint64 id(qsizetype row) const { return m_ids[static_cast<size_t>(row)]; }

private:
    QString m_terms;
    std::vector<qsizetype> m_termEnds;
    std::vector<qint64> m_ids;
};

// Removes leading and trailing spaces (U+0020) only, as the search and key rules ask;
// tabs and other blanks are ordinary characters there.
QString trimSpaces(const QString& text);

// Runs `kind`'s search for what its box holds on `database`. Every hit is returned,
// however many. Without a database, or when the statement cannot run, nothing is found
// and nothing is said. `listedColumn`, when given, is read in place of the kind's own;
// the order stays.
SearchResults runSearch(const data::DatabaseHandle& database, const SearchKind& kind, const QString& boxText,
                        const QString& listedColumn = {});

} // namespace orvane::core::dictionary
