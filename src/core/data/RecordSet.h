#pragma once

#include <QString>
#include <QStringView>
#include <memory>
#include <optional>

namespace orvane::core::data {

class Database;
class RowSource;

// The rows of one statement, walked forward once, as QSqlQuery walks them: positioned
// before the first row, `while (rows.next())` visits each. Move-only; finalises its
// statement when destroyed. Holds a share of its database, so it stays valid when the
// shared handle is replaced.
class RecordSet
{
public:
    RecordSet(); // a record set that failed to open: not active, no rows
    RecordSet(RecordSet&&) noexcept;
    RecordSet& operator=(RecordSet&&) noexcept;
    RecordSet(const RecordSet&) = delete;
    RecordSet& operator=(const RecordSet&) = delete;
    ~RecordSet();

    // False when the statement could not run at all (a bad name, a damaged file...).
    bool isActive() const;
    // True while positioned on a row.
    bool isValid() const;
    // Moves to the next row (the first on the first call); false at the end and after a
    // failure, which errorString() then describes.
    bool next();
    // Empty while all is well; else the engine's message, or what a column look-up missed.
    QString errorString() const;

    // The result column named `column` (case-insensitive, as in SQL), or -1.
    int indexOf(const QString& column) const;
    // The current row's value of a column by name: text, or nullopt for null. Numbers come
    // back as their decimal text. A column that is not in the result reads as nullopt and
    // sets errorString(); use indexOf() to tell the two apart.
    std::optional<QString> value(const QString& column) const;
    // The same without a copy: valid until next() or the next read of the column.
    std::optional<QStringView> valueView(const QString& column) const;
    // The value as a number without going through text (0 for null, text or no row).
    qint64 valueInt64(const QString& column) const;

private:
    friend class Database;
    // Steps to the first row at once, so that a statement that cannot run is not active.
    // `database` stays alive as long as the rows are read.
    RecordSet(std::shared_ptr<Database> database, std::unique_ptr<RowSource> rows);
    // A record set that could not be opened, keeping the reason.
    explicit RecordSet(QString failure);
    struct Impl;
    // The column's index on the current row; -1 (with errorString() set) when there is none.
    int currentIndex(const QString& column) const;
    std::unique_ptr<Impl> d;
};

} // namespace orvane::core::data
