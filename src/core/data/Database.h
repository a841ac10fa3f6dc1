#pragma once

#include "core/data/MeaningIndex.h"
#include "core/data/RecordSet.h"
#include "core/data/Statement.h"

#include <QString>
#include <memory>

namespace orvane::core::data {

// The passphrase of every orvane.mdb the program reads and the builder writes.
inline constexpr char DatabasePassword[] = "r^plokijuhy246813579";

// One open, keyed, read-only connection to an orvane.mdb file.
// Shared through std::shared_ptr: record sets keep the connection alive.
class Database : public std::enable_shared_from_this<Database>
{
public:
    // Opens `path` read-only and defensively (Connection.h), keys it with `passphrase` and
    // reads its schema, so a wrong key, a file that is no database, a missing or unreadable
    // file, and a schema that is not Orvane's all fail here.
    // On failure returns nullptr and, if given, sets *error to the reason.
    static std::shared_ptr<Database> open(const QString& path, const QString& passphrase, QString* error = nullptr);
    // A plain (unencrypted) database image held in memory, opened and checked the same
    // way: for reading a file's contents where no file or key is at hand (fuzzing).
    static std::shared_ptr<Database> fromImage(const QByteArray& image, QString* error = nullptr);

    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // The rows of `statement`. Searches that must look at every row are answered from
    // listings held in memory per file (see Scan.h), the others by the engine.
    RecordSet exec(const Statement& statement);

    // True when tbl_dictionary carries the search and sort key columns of Schema.h,
    // so that prefix searches become index range scans.
    bool hasDictionaryKeys() const;

    QString path() const;

    // The best `limit` entries whose meanings hold every phrase of `query`, and how many
    // there are (MeaningIndex.h): from the meaning index when the file has one, else by
    // reading every entry, with the same result. Nothing when a statement fails.
    MeaningHits searchMeanings(const meaning::Query& query, qsizetype limit);
    bool hasMeaningIndex() const;

private:
    struct Impl;
    explicit Database(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> d;
};

using DatabaseHandle = std::shared_ptr<Database>;

// The engine the program runs on, such as "SQLite 3.53.4 (SQLite3 Multiple Ciphers 2.4.0)".
QString engineVersion();

} // namespace orvane::core::data
