#include "core/dictionary/MeaningSearch.h"

#include "core/data/Schema.h"
#include "core/data/Statement.h"

#include <QLocale>

namespace orvane::core::dictionary {

namespace {

// A term's text as typed: a phrase in quotes or a run up to the next space or quote.
struct TypedTerm
{
    QStringView text;
    bool prefix;
};

std::vector<TypedTerm> typedTerms(QStringView query)
{
    std::vector<TypedTerm> terms;
    qsizetype i = 0;
    while (i < query.size()) {
        if (query[i].isSpace()) {
            ++i;
        } else if (query[i] == u'"') {
            const qsizetype begin = i + 1;
            qsizetype end = query.indexOf(u'"', begin);
            if (end < 0)
                end = query.size();
            i = end + 1;
            const bool prefix = i < query.size() && query[i] == u'*';
            terms.push_back({query.sliced(begin, end - begin), prefix});
        } else {
            const qsizetype begin = i;
            while (i < query.size() && !query[i].isSpace() && query[i] != u'"')
                ++i;
            const QStringView chunk = query.sliced(begin, i - begin);
            terms.push_back({chunk, chunk.endsWith(u'*')});
        }
    }
    return terms;
}

} // namespace

data::meaning::Query parseMeaningQuery(QStringView text)
{
    qsizetype length = std::min(text.size(), MaxQueryLength);
    if (length > 0 && length < text.size() && text[length - 1].isHighSurrogate())
        --length; // never half a character
    data::meaning::Query query;
    for (const TypedTerm& term : typedTerms(text.first(length))) {
        data::meaning::Phrase phrase{{}, term.prefix};
        for (const data::meaning::Word& word : data::meaning::words(term.text))
            phrase.words << word.folded;
        // A term said twice counts once.
        if (phrase.words.isEmpty() || std::find(query.begin(), query.end(), phrase) != query.end())
            continue;
        query.push_back(std::move(phrase));
        if (query.size() == MaxTerms)
            break;
    }
    return query;
}

MeaningSearchResult searchMeanings(const data::DatabaseHandle& database, QStringView text, qsizetype limit)
{
    MeaningSearchResult result{parseMeaningQuery(text), {}};
    if (database)
        result.hits = database->searchMeanings(result.query, limit);
    return result;
}

QString meaningCountText(const MeaningSearchResult& result)
{
    const QLocale locale;
    const qint64 total = result.hits.total;
    if (result.query.empty())
        return QStringLiteral("Type the words to look for.");
    if (total == 0)
        return QStringLiteral("No entry holds these words.");
    const QString entries = total == 1 ? QStringLiteral("1 entry") : locale.toString(total) + QStringLiteral(" entries");
    if (qsizetype(result.hits.ids.size()) < total)
        return QStringLiteral("The best %1 of %2").arg(locale.toString(qint64(result.hits.ids.size())), entries);
    return entries;
}

void MeaningHitModel::setResult(data::DatabaseHandle database, const MeaningSearchResult& result)
{
    beginResetModel();
    m_database = std::move(database);
    m_matcher.emplace(result.query);
    m_ids = result.hits.ids;
    m_shown.assign(m_ids.size(), std::nullopt);
    endResetModel();
}

void MeaningHitModel::clear()
{
    setResult({}, {});
}

int MeaningHitModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_ids.size());
}

int MeaningHitModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 2;
}

const MeaningHitModel::Shown& MeaningHitModel::shown(int row) const
{
    std::optional<Shown>& cached = m_shown[size_t(row)];
    if (!cached) {
        cached.emplace();
        data::Statement statement = data::Statement::dictionaryById(m_ids[size_t(row)]);
        statement.columns = {data::DB_COLUMN_M1, data::DB_COLUMN_MEANINGS};
        if (m_database) {
            data::RecordSet entry = m_database->exec(statement);
            if (entry.next()) {
                cached->headword = entry.value(data::DB_COLUMN_M1).value_or(QString());
                cached->matchedWords = m_matcher->matchedWords(entry.value(data::DB_COLUMN_MEANINGS).value_or(QString()))
                                           .join(QStringLiteral(", "));
            }
        }
    }
    return *cached;
}

QVariant MeaningHitModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == EntryIdRole)
        return m_ids[size_t(index.row())];
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole && role != Qt::ToolTipRole)
        return {};
    const Shown& row = shown(index.row());
    return index.column() == HeadwordColumn ? row.headword : row.matchedWords;
}

} // namespace orvane::core::dictionary
