#include "core/dictionary/KeyInput.h"

#include "core/data/Mainmode.h"
#include "core/dictionary/Search.h"

namespace orvane::dictionary {

void KeyInput::LookupKey()
{
    keyDisplay.clear();
    const data::DatabaseHandle database = data::SharedDatabase();
    if (!database)
        return;
    data::Statement statement = data::Statement::keyboardByInput(trimSpaces(keyInput));
    statement.columns = QStringList{QStringLiteral("display")};
    data::RecordSet records = database->OpenRecordset(statement);
    if (!records.isOpen() || records.RecordCount() == 0)
        return;
    const QString display = QStringLiteral("display");
    records.MoveFirst();
    while (!records.Eof()) {
        if (!records.hasField(display))
            return;
        keyDisplay = records.Fields(display).value_or(QString());
        records.MoveNext();
        if (!records.error().isEmpty())
            return;
    }
}

QString KeyInput::applyKeys(QString text)
{
    for (int replacements = 0; replacements < MaxChainedReplacements; ++replacements) {
        if (text.size() < 2)
            break;
        keyInput = text.right(2);
        LookupKey();
        if (keyDisplay.isEmpty())
            break;
        text.chop(2);
        text += keyDisplay;
    }
    return text;
}

} // namespace orvane::dictionary
