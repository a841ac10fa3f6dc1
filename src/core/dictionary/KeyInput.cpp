#include "core/dictionary/KeyInput.h"

#include "core/dictionary/Search.h"

#include "core/data/Schema.h"

#include <QHash>

namespace orvane::core::dictionary {

void KeyInput::lookUpKey(const data::DatabaseHandle& database)
{
    keyDisplay.clear();
    if (!database)
        return;
    data::Statement statement = data::Statement::keyboardByInput(trimSpaces(keyInput));
    const QString display = data::DB_COLUMN_DISPLAY;
    statement.columns = QStringList{display};
    // The last row wins; a failing step keeps what the rows before it gave.
    data::RecordSet records = database->exec(statement);
    while (records.next())
        keyDisplay = records.value(display).value_or(QString());
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
    const QString inputColumn = data::DB_COLUMN_INPUT, displayColumn = data::DB_COLUMN_DISPLAY;
    statement.table = data::DB_TABLE_KEYBOARD;
    statement.columns = QStringList{inputColumn, displayColumn};
    std::vector<KeyTableRow> table;
    QHash<QString, size_t> rowOfInput;
    data::RecordSet records = database.exec(statement);
    while (records.next()) {
        const std::optional<QString> input = records.value(inputColumn);
        // lookUpKey looks up at most two characters without their spaces: no other input is ever found.
        if (!input || input->size() > 2 || trimSpaces(*input) != *input)
            continue;
        const QString display = records.value(displayColumn).value_or(QString());
        if (const auto row = rowOfInput.constFind(*input); row != rowOfInput.cend()) {
            table[*row].display = display; // the last row read wins
        } else {
            rowOfInput.insert(*input, table.size());
            table.push_back({*input, display});
        }
    }
    if (!records.errorString().isEmpty()) {
        if (error)
            *error = records.errorString();
        return std::nullopt;
    }
    std::erase_if(table, [](const KeyTableRow& row) { return row.display.isEmpty(); });
    return table;
}

} // namespace orvane::core::dictionary
