#pragma once

#include <QString>
#include <QStringView>
#include <memory>
#include <optional>

namespace orvane::core::data {

class Database;

// A forward-only walk over the rows of one statement, with the operations the
// program's query sites use. Move-only; finalises its statement when destroyed.
// Holds a share of its database, so it stays valid when the shared handle is replaced.
class RecordSet
{
public:
    RecordSet(); // a record set that failed to open: IsOpen() false, Eof() true
    RecordSet(RecordSet&&) noexcept;
    RecordSet& operator=(RecordSet&&) noexcept;
    RecordSet(const RecordSet&) = delete;
    RecordSet& operator=(const RecordSet&) = delete;
    ~RecordSet();

    bool IsOpen() const;
    // Non-empty after any failure (open or step); the engine's message.
    QString Error() const;

    // Right after opening: 0 exactly when the result is empty, at least 1 otherwise.
    int RecordCount() const;
    // Forward-only: valid only before the first MoveNext, where it does nothing.
    void MoveFirst();
    bool Eof() const; // "EOF" itself is a macro of <cstdio>
    // The current row's value of a column by name: text, or nullopt for null.
    // Numbers come back as their decimal text. A column that is not in the result
    // reads as nullopt and sets Error(); use HasField() to tell the two apart.
    std::optional<QString> Fields(const QString& column) const;
    // The same without a copy: valid until MoveNext or the next read of the column.
    std::optional<QStringView> FieldView(const QString& column) const;
    bool HasField(const QString& column) const;
    // The id column as a number without going through text (0 when null or absent).
    qint64 FieldInt(const QString& column) const;
    void MoveNext();

private:
    friend class Database;
    struct Impl;
    explicit RecordSet(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> d;
};

} // namespace orvane::core::data
