#pragma once

#include "core/data/Statement.h"

#include <QByteArray>
#include <optional>
#include <variant>
#include <vector>

namespace orvane::data {

// A Statement turned into SQL with placeholders and the values to bind to them, in order.
struct SqlQuery
{
    QByteArray sql;
    std::vector<std::variant<QByteArray, qint64>> values; // UTF-8 text or an integer

    // nullopt when a table or column name is not a plain identifier. With
    // `dictionaryKeys`, searches and text orders on tbl_dictionary use its key columns
    // and indexes; the rows and their order are the same either way.
    static std::optional<SqlQuery> build(const Statement& statement, bool dictionaryKeys);
};

} // namespace orvane::data
