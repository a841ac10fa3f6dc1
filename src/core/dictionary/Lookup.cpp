#include "core/dictionary/Lookup.h"

#include "core/data/Schema.h"
#include "core/dictionary/EntryComposer.h"
#include "core/dictionary/MeaningSearch.h"

#include <algorithm>

namespace orvane::core::dictionary {

namespace {

bool endsLine(QChar c)
{
    switch (c.unicode()) {
    case u'\n':
    case u'\v':
    case u'\f':
    case u'\r':
    case 0x85:
    case 0x2028:
    case 0x2029:
        return true;
    default:
        return false;
    }
}

} // namespace

QString lookupText(const QString& text)
{
    QString line = text.trimmed();
    const auto end = std::find_if(line.cbegin(), line.cend(), endsLine);
    line.truncate(end - line.cbegin());
    if (line.size() > MaxLookupLength)
        line.truncate(line.at(MaxLookupLength - 1).isHighSurrogate() ? MaxLookupLength - 1 : MaxLookupLength);
    return line.trimmed();
}

const SearchKind& searchKindFor(const QString& text)
{
    bool latinBeyondAscii = false;
    for (const char32_t c : text.normalized(QString::NormalizationForm_C).toUcs4()) {
        if (QChar::isMark(c))
            latinBeyondAscii = true; // an accent that has no precomposed letter
        if (!QChar::isLetter(c))
            continue;
        switch (QChar::script(c)) {
        case QChar::Script_Latin:
            latinBeyondAscii = latinBeyondAscii || c >= 0x80;
            break;
        case QChar::Script_Common: // modifier letters such as ʼ belong to every script
        case QChar::Script_Inherited:
            break;
        default:
            return ScriptSearch;
        }
    }
    return latinBeyondAscii ? TranslitSearch : PlainSearch;
}

QStringList defineEntries(const data::DatabaseHandle& database, const QString& word, const SearchKind& kind, bool exact,
                          qsizetype limit)
{
    QStringList entries;
    if (word.isEmpty())
        return entries;
    // With `exact` the hits carry the column the search matched on (m3 for the plain
    // search, which lists m2); the order is the search's own either way.
    const QString searched = kind.statement(QString()).where->column;
    const SearchResults hits = runSearch(database, kind, word, exact ? searched : QString());
    const QString key = data::schema::searchKey(word);
    for (qsizetype row = 0; row < hits.size() && entries.size() < limit; ++row) {
        if (exact && data::schema::searchKey(hits.term(row)) != key)
            continue;
        const QString composed = composeEntry(database, hits.id(row), kind.searchMode);
        if (!composed.isEmpty())
            entries << entryDisplayText(composed);
    }
    return entries;
}

QStringList defineMeanings(const data::DatabaseHandle& database, const QString& query, qsizetype limit)
{
    QStringList entries;
    for (const qint64 id : searchMeanings(database, query, limit).hits.ids) {
        const QString composed = composeEntry(database, id, SearchMode::Latin);
        if (!composed.isEmpty())
            entries << entryDisplayText(composed);
    }
    return entries;
}

} // namespace orvane::core::dictionary
