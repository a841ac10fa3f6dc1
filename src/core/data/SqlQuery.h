#pragma once

#include "core/data/Statement.h"

#include <QByteArray>
#include <optional>
#include <variant>
#include <vector>

namespace orvane::core::data {

class PreparedStatement;

// A Statement turned into SQL with placeholders and the values to bind to them, in order.
struct SqlQuery
{
    QByteArray sql;
    struct Blob
    {
        QByteArray bytes;
    };
    using Value = std::variant<QByteArray, qint64, Blob>; // UTF-8 text, an integer, or bytes
    std::vector<Value> values;

    // Keeps the rows of a statement with a condition, ordered by a text column of
    // tbl_dictionary, to one part of that order: the rows without a sort key (they come
    // first), those below `key`, or those from `key` on. Each part is an index range, so
    // parts can be read at once, each on its own connection.
    struct SortKeyPart
    {
        enum Kind
        {
            Null,
            Below,
            From
        } kind = Null;
        QByteArray key{};
    };

    // nullopt when a table or column name is not a plain identifier, or when a part is
    // asked of a statement that has no condition, key columns and text order for it. With `dictionaryKeys`,
    // searches and text orders on tbl_dictionary use its key columns and indexes; the rows
    // and their order are the same either way.
    static std::optional<SqlQuery> build(const Statement& statement, bool dictionaryKeys,
                                         const std::optional<SortKeyPart>& part = std::nullopt);

    // Binds the values to `statement`, prepared from `sql`.
    void bindValues(PreparedStatement& statement) const;
};

} // namespace orvane::core::data
