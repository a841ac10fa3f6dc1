#include "core/data/Connection.h"
#include "core/data/MeaningIndex.h"
#include "core/data/PreparedStatement.h"
#include "core/data/SqlFunctions.h"
#include "core/data/UnicodeText.h"

#include <algorithm>

namespace orvane::core::data::meaning {

bool writeIndex(Connection& connection, bool dictionaryKeys, QString* error)
{
    const auto fail = [&](const QString& reason) {
        *error = reason;
        return false;
    };
    // The collation serves the list order of a database without sort keys.
    // Built at once and merged once at the end: no merging on the way, and large batches.
    if (!sql::registerFunctions(connection.handle()) || !connection.exec(IndexDefinition) ||
        !connection.exec(OrderDefinition) ||
        !connection.exec("INSERT INTO tbl_meaning_index_v1 (tbl_meaning_index_v1, rank) VALUES ('automerge', 0);"
                         " INSERT INTO tbl_meaning_index_v1 (tbl_meaning_index_v1, rank) VALUES ('hashsize', 67108864);"))
        return fail(connection.errorMessage());

    // The folded words of every entry, read in id order (the table's own), held back to back.
    QByteArray folded;
    std::vector<std::pair<qint64, qsizetype>> ends; // id, where its words end in `folded`, by id
    {
        PreparedStatement entries(connection, "SELECT id, meanings FROM tbl_dictionary ORDER BY id");
        PreparedStatement::Step read = PreparedStatement::Step::Failed;
        while (entries.isValid() && (read = entries.step()) == PreparedStatement::Step::Row) {
            folded += unicode::toUtf8(foldedWords(unicode::fromUtf8(entries.columnText(1))));
            ends.emplace_back(entries.columnInt64(0), folded.size());
        }
        if (read != PreparedStatement::Step::Done)
            return fail(entries.errorMessage());
    }
    // Then written in list order, so that the index's row ids are the places in it.
    PreparedStatement order(connection, dictionaryKeys
                                            ? "SELECT id FROM tbl_dictionary ORDER BY s1, id"
                                            : "SELECT id FROM tbl_dictionary ORDER BY m1 COLLATE orvane_unicode, id");
    PreparedStatement addWords(connection, "INSERT INTO tbl_meaning_index_v1 (rowid, words) VALUES (?1, ?2)");
    PreparedStatement addPlace(connection, "INSERT INTO tbl_meaning_order_v1 (position, id) VALUES (?1, ?2)");
    if (!order.isValid() || !addWords.isValid() || !addPlace.isValid())
        return fail(connection.errorMessage());
    qint64 position = 0;
    PreparedStatement::Step stepped;
    while ((stepped = order.step()) == PreparedStatement::Step::Row) {
        const qint64 id = order.columnInt64(0);
        const auto entry = std::lower_bound(ends.begin(), ends.end(), std::pair(id, qsizetype(0)));
        if (entry == ends.end() || entry->first != id)
            return fail(QStringLiteral("tbl_dictionary changed while its meanings were indexed"));
        const qsizetype begin = entry == ends.begin() ? 0 : std::prev(entry)->second;
        ++position;
        addWords.bindInt64(1, position);
        addWords.bindText(2, QByteArrayView(folded).sliced(begin, entry->second - begin));
        addPlace.bindInt64(1, position);
        addPlace.bindInt64(2, id);
        if (!addWords.exec() || !addPlace.exec())
            return fail(connection.errorMessage());
    }
    // One merged segment reads fastest and takes the least room.
    if (stepped != PreparedStatement::Step::Done ||
        !connection.exec("INSERT INTO tbl_meaning_index_v1 (tbl_meaning_index_v1) VALUES ('optimize')"))
        return fail(connection.errorMessage());
    return true;
}

} // namespace orvane::core::data::meaning
