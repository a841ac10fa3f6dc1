#include "core/dictionary/EntryComposer.h"

#include "core/data/Schema.h"

namespace orvane::core::dictionary {

namespace {
constexpr QStringView LineBreak = u"\r\n";
} // namespace

QString composeEntryText(const QString& header, const QString& meanings)
{
    QString text;
    text.reserve(header.size() + meanings.size() + 34);
    text += header;
    text += LineBreak;
    text += QLatin1StringView(EntryRule);
    text += LineBreak;
    text += meanings;
    text += LineBreak;
    text += LineBreak;
    return text;
}

QString composeEntry(const data::DatabaseHandle& database, qint64 id, SearchMode searchMode)
{
    if (!database)
        return {};
    const QString header = searchMode == SearchMode::NativeScript ? data::DB_COLUMN_M2 : data::DB_COLUMN_M1;
    const QString meanings = data::DB_COLUMN_MEANINGS;
    data::Statement statement = data::Statement::dictionaryById(id);
    statement.columns = QStringList{header, meanings};

    data::RecordSet records = database->exec(statement);
    if (!records.next())
        return {};
    return composeEntryText(records.value(header).value_or(QString()), records.value(meanings).value_or(QString()));
}

QString entryDisplayText(const QString& composed)
{
    QString text = composed;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (text.size() > MaxShownCharacters) {
        qsizetype end = MaxShownCharacters;
        if (text[end - 1].isHighSurrogate())
            --end; // never half a character
        text.truncate(end);
        text += QStringLiteral("\n\u2026");
    }
    return text;
}

} // namespace orvane::core::dictionary
