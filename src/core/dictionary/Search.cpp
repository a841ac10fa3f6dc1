#include "core/dictionary/Search.h"

#include "core/data/Schema.h"

namespace orvane::core::dictionary {

const SearchKind ScriptSearch{SearchMode::NativeScript,
                              true,
                              false,
                              &data::Statement::dictionaryByScript,
                              data::DB_COLUMN_M1,
                              ListFocus::AfterSearch,
                              u"  <native scripts>"};
const SearchKind TranslitSearch{SearchMode::Latin,
                                false,
                                true,
                                &data::Statement::dictionaryByTranslit,
                                data::DB_COLUMN_M2,
                                ListFocus::BeforeSearchWhenBoxFilled,
                                u"    <transliteration>"};
const SearchKind PlainSearch{SearchMode::Latin,
                             false,
                             true,
                             &data::Statement::dictionaryByPlain,
                             data::DB_COLUMN_M2,
                             ListFocus::BeforeSearchWhenBoxFilled,
                             u"  <without diacritics>"};

void SearchResults::append(qint64 id, QStringView term)
{
    m_terms += term;
    m_termEnds.push_back(m_terms.size());
    m_ids.push_back(id);
}

QString SearchResults::term(qsizetype row) const
{
    const qsizetype begin = row == 0 ? 0 : m_termEnds[static_cast<size_t>(row - 1)];
    return m_terms.mid(begin, m_termEnds[static_cast<size_t>(row)] - begin);
}

QString trimSpaces(const QString& text)
{
    qsizetype first = 0;
    qsizetype end = text.size();
    while (first < end && text.at(first) == u' ')
        ++first;
    while (end > first && text.at(end - 1) == u' ')
        --end;
    return text.mid(first, end - first);
}

SearchResults runSearch(const data::DatabaseHandle& database, const SearchKind& kind, const QString& boxText,
                        const QString& listedColumn)
{
    SearchResults results;
    const QString trimmed = trimSpaces(boxText);
    if (kind.skipsBlankText && trimmed.isEmpty())
        return results;

    if (!database)
        return results;

    const QString listed = listedColumn.isEmpty() ? QString(kind.listedColumn) : listedColumn;
    data::Statement statement = kind.statement(kind.trimsText ? trimmed : boxText);
    // Only what the list shows: a million hits must not drag a million meanings along.
    const QString idColumn = data::DB_COLUMN_ID;
    statement.columns = QStringList{idColumn, listed};

    // A failing step ends the walk; the rows read so far stay listed.
    data::RecordSet records = database->exec(statement);
    while (records.next())
        results.append(records.valueInt64(idColumn), records.valueView(listed).value_or(QStringView()));
    return results;
}

} // namespace orvane::core::dictionary
