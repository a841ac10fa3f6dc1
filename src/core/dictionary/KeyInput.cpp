#include "core/dictionary/KeyInput.h"

#include "core/dictionary/Search.h"

#include <QHash>

namespace orvane::core::dictionary {

void KeyInput::lookUpKey(const data::DatabaseHandle& database)
{
    keyDisplay.clear();
    if (!database)
        return;
    data::Statement statement = data::Statement::keyboardByInput(trimSpaces(keyInput));
    statement.columns = QStringList{QStringLiteral("display")};
    data::RecordSet records = database->OpenRecordset(statement);
    if (!records.IsOpen() || records.RecordCount() == 0)
        return;
    const QString display = QStringLiteral("display");
    records.MoveFirst();
    while (!records.Eof()) {
        if (!records.HasField(display))
            return;
        keyDisplay = records.Fields(display).value_or(QString());
        records.MoveNext();
        if (!records.Error().isEmpty())
            return;
    }
}

QString KeyInput::applyKeys(const data::DatabaseHandle& database, QString text)
{
    for (int replacements = 0; replacements < MaxChainedReplacements; ++replacements) {
        if (text.size() < 2)
            break;
        keyInput = text.right(2);
        lookUpKey(database);
        if (keyDisplay.isEmpty())
            break;
        text.chop(2);
        text += keyDisplay;
    }
    return text;
}

std::optional<std::vector<KeyTableRow>> appliedKeyTable(data::Database& database, QString* error)
{
    data::Statement statement;
    statement.table = QStringLiteral("tbl_keyboard");
    statement.columns = QStringList{QStringLiteral("input"), QStringLiteral("display")};
    std::vector<KeyTableRow> table;
    QHash<QString, size_t> rowOfInput;
    data::RecordSet records = database.OpenRecordset(statement);
    for (; !records.Eof() && records.Error().isEmpty(); records.MoveNext()) {
        const std::optional<QString> input = records.Fields(QStringLiteral("input"));
        // lookUpKey looks up at most two characters without their spaces: no other input is ever found.
        if (!input || input->size() > 2 || trimSpaces(*input) != *input)
            continue;
        const QString display = records.Fields(QStringLiteral("display")).value_or(QString());
        if (const auto row = rowOfInput.constFind(*input); row != rowOfInput.cend()) {
            table[*row].display = display; // the last row read wins
        } else {
            rowOfInput.insert(*input, table.size());
            table.push_back({*input, display});
        }
    }
    if (!records.Error().isEmpty()) {
        if (error)
            *error = records.Error();
        return std::nullopt;
    }
    std::erase_if(table, [](const KeyTableRow& row) { return row.display.isEmpty(); });
    return table;
}

} // namespace orvane::core::dictionary
