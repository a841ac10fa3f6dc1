#pragma once

#include "core/data/Connection.h"
#include "core/data/Database.h"
#include "core/data/RecordSet.h"

#include <QString>
#include <memory>
#include <optional>
#include <vector>

namespace orvane::core::data {

// Where the rows of a record set come from: a statement of the engine, or rows the data
// layer holds in memory.
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
std::unique_ptr<RowSource> statementRows(Prepared statement);

// The state behind a RecordSet, made by Database::exec.
struct RecordSet::Impl
{
    // Steps to the first row at once, so that a statement that cannot run is not active.
    // `database` stays alive as long as the rows are read.
    Impl(std::shared_ptr<Database> database, std::unique_ptr<RowSource> rows);
    // A record set that could not be opened, keeping the reason.
    explicit Impl(QString failure);

    // The result column of `name` (case-insensitive like SQL), or -1.
    int columnIndex(const QString& name) const;

    // Declared first so that it outlives the rows, which may run on its connection.
    std::shared_ptr<Database> database;
    std::unique_ptr<RowSource> rows;
    std::vector<QString> columnNames;
    bool hasRow = false;     // the last step gave a row
    bool beforeFirst = true; // next() not called yet: the first step's row waits
    bool failedToOpen = false;
    mutable QString error;
};

} // namespace orvane::core::data
