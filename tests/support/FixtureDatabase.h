#pragma once

// Files and fixture databases the tests set up.

#include "core/data/Database.h"
#include "core/data/DatabaseWriter.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <utility>

namespace orvane::testing {

using core::data::DatabaseWriter;

// Replaces the file at `path` with `bytes`; false when it cannot be written whole.
inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// The whole file, or an empty array when it cannot be read.
inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The rows of a fixture database, given in code.
using FixtureRows = DatabaseWriter::Rows;

// Writes `rows` into a new database at `path`; false on failure.
inline bool writeFixtureDatabase(const QString& path, const FixtureRows& rows, DatabaseWriter::Options options = {})
{
    DatabaseWriter writer(path, std::move(options));
    return writer.addRows(rows) && writer.commit();
}

// A temporary folder for an orvane.mdb written from rows given in code.
class FixtureFolder
{
public:
    QString path() const { return m_folder.path(); }
    QString databasePath() const { return m_folder.filePath(QStringLiteral("orvane.mdb")); }

    // Writes orvane.mdb into the folder, replacing any earlier one.
    bool write(const FixtureRows& rows, DatabaseWriter::Options options = {}) const
    {
        return writeFixtureDatabase(databasePath(), rows, std::move(options));
    }
    // Opens it as the program does; null when it cannot.
    core::data::DatabaseHandle open() const
    {
        return core::data::Database::open(databasePath(), QString::fromLatin1(core::data::DatabasePassword));
    }

private:
    QTemporaryDir m_folder;
};

// The values of `columns` in every row, "|" between them: "-" for null, "" for a column the
// result lacks. A walk that fails ends with "!" and the reason (up to its first colon).
inline QStringList rowsOf(core::data::RecordSet rows, const QStringList& columns)
{
    QStringList found;
    while (rows.next()) {
        QStringList row;
        for (const QString& column : columns)
            row << (rows.indexOf(column) < 0 ? QString() : rows.value(column).value_or(QStringLiteral("-")));
        found << row.join(u'|');
    }
    if (!rows.errorString().isEmpty())
        found << u'!' + rows.errorString().section(u':', 0, 0);
    return found;
}

// Shorthand for an entry whose columns are all given (nullopt for null).
inline DatabaseWriter::Entry entry(qint64 id, std::optional<QString> m1, std::optional<QString> m2,
                                   std::optional<QString> m3, std::optional<QString> meanings = QString())
{
    return {id, std::move(m1), std::move(m2), std::move(m3), std::move(meanings)};
}

} // namespace orvane::testing
