#pragma once

#include <QByteArray>
#include <QString>
#include <chrono>
#include <memory>
#include <optional>

struct sqlite3;

// The engine as the data layer uses it. Dictionary files come from anyone, so every
// connection is read-only and defensive: no schema code runs (views, triggers, untrusted
// functions), sizes are limited, the engine's memory is bounded for the whole process,
// and a statement that runs too long ends with an error instead of hanging the program.
namespace orvane::core::data {

using Clock = std::chrono::steady_clock;

// The longest a statement may run, from its first step to its last. Generous: a search
// that reads every row of a million-entry file on a busy machine stays far below it.
std::chrono::milliseconds statementTimeLimit();
// For tests and fuzzing; applies to statements started afterwards.
void setStatementTimeLimit(std::chrono::milliseconds limit);

class Connection
{
public:
    // `path` read-only; nullptr with the reason in *failure when the engine refuses it.
    // Nothing is read yet: keying comes first.
    static std::unique_ptr<Connection> open(const QString& path, QString* failure);
    // A new file at `path`, or the file there, to write: for the builder, which writes its
    // own files. Not hardened.
    static std::unique_ptr<Connection> create(const QString& path, QString* failure);
    // A plain (unencrypted) database image held in memory, read-only.
    static std::unique_ptr<Connection> fromImage(const QByteArray& image, QString* failure);

    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // True when the engine is built for threads, so that connections may work at once.
    static bool isThreadSafe();

    sqlite3* handle() const { return m_handle; }
    // Runs one or more statements that give no rows; false, with errorMessage() set, on failure.
    bool exec(const char* sql) const;
    QString errorMessage() const;

    // When the statement stepping now must end; PreparedStatement sets it before each step.
    Clock::time_point deadline = Clock::time_point::max();

    // Why the schema is not one Orvane reads: an object under one of its table names
    // that is no plain table, or a table without a column that its statements name.
    // Reading the schema also proves the key. nullopt when all is as expected; tables
    // that are missing, and objects under other names, are left to the statements.
    std::optional<QString> unexpectedSchema();

private:
    explicit Connection(sqlite3* handle);
    static std::unique_ptr<Connection> openFile(const QString& path, int flags, QString* failure);
    bool harden();

    sqlite3* m_handle = nullptr;
};

} // namespace orvane::core::data
