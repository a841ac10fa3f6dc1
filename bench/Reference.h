#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

struct sqlite3;

namespace orvane::bench {

// The reference side of a figure: plain SQLite through its C API on the unencrypted
// copy, with hand-written SQL that uses the same key columns and indexes.
class Reference
{
public:
    explicit Reference(const QString& path); // read-only; throws std::runtime_error
    ~Reference();
    Reference(const Reference&) = delete;
    Reference& operator=(const Reference&) = delete;

    // Prepares `sql`, binds the texts to ?1, ?2 …, steps through every row reading
    // every column, finalises; returns the number of rows.
    qint64 rows(const char* sql, const std::vector<QByteArray>& texts = {}) const;

    // The bounds of a range scan for keys that begin with `prefix`: [prefix, next).
    static QByteArray rangeEnd(const QByteArray& prefix);

private:
    sqlite3* m_connection = nullptr;
};

} // namespace orvane::bench
