#pragma once

#include "core/data/Database.h"
#include "core/data/RecordSet.h"

#include <QString>
#include <memory>
#include <vector>

struct sqlite3_stmt;

namespace orvane::data {

// The state behind a RecordSet; shared by RecordSet.cpp and Database.cpp, which opens them.
struct RecordSet::Impl
{
    // Takes ownership of `statement` (bound, not yet stepped) and steps to the first row.
    Impl(std::shared_ptr<Database> database, sqlite3_stmt* statement);
    // A record set that could not be opened, keeping the reason.
    explicit Impl(QString failure);
    ~Impl();
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    void step();
    // The result column of `name` (case-insensitive like SQL), or -1.
    int columnIndex(const QString& name) const;

    // Declared first so it outlives the statement, which is finalised in ~Impl.
    std::shared_ptr<Database> database;
    sqlite3_stmt* statement = nullptr;
    std::vector<QString> columnNames;
    bool hasRow = false;
    bool movedOn = false; // MoveNext was called since the first row
    bool firstStepFailed = false;
    mutable QString error;
};

} // namespace orvane::data
