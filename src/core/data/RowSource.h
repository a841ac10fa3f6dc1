#pragma once

#include <QString>
#include <QStringView>
#include <memory>
#include <optional>
#include <vector>

namespace orvane::core::data {

class PreparedStatement;

// Where the rows of a record set come from: a statement of the engine, or rows the data
// layer holds in memory (Scan.h).
class RowSource
{
public:
    virtual ~RowSource() = default;
    virtual std::vector<QString> columnNames() const = 0;
    // Moves to the next row; the first call gives the first row. False at the end, and
    // on a failure, which it describes in *error.
    virtual bool next(QString* error) = 0;
    // The value as text, nullopt for null; valid until next() or the next text() of the column.
    virtual std::optional<QStringView> text(int column) = 0;
    virtual qint64 number(int column) const = 0;
};

// The rows of `statement` (bound, not yet stepped).
std::unique_ptr<RowSource> statementRows(PreparedStatement statement);

} // namespace orvane::core::data
