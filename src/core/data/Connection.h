#pragma once

#include <QByteArray>
#include <QString>
#include <chrono>
#include <memory>
#include <optional>

struct sqlite3;
struct sqlite3_stmt;

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
    // A plain (unencrypted) database image held in memory, read-only.
    static std::unique_ptr<Connection> fromImage(const QByteArray& image, QString* failure);

    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    sqlite3* handle() const { return m_handle; }
    bool exec(const char* sql) const;
    QString errorMessage() const;

    // When the statement stepping now must end; Prepared sets it before each step.
    Clock::time_point deadline = Clock::time_point::max();

    // Why the schema is not one Orvane reads: an object under one of its table names
    // that is no plain table, or a table without a column that its statements name.
    // Reading the schema also proves the key. nullopt when all is as expected; tables
    // that are missing, and objects under other names, are left to the statements.
    std::optional<QString> unexpectedSchema();

private:
    explicit Connection(sqlite3* handle);
    bool harden();
    static std::unique_ptr<Connection> hardened(sqlite3* handle, QString* failure);

    sqlite3* m_handle = nullptr;
};

// A prepared statement that finalises itself. Each step counts against the time bound of
// its connection from the first step on.
class Prepared
{
public:
    Prepared(Connection& connection, QByteArrayView sql);
    ~Prepared();
    Prepared(Prepared&& other) noexcept;
    Prepared& operator=(Prepared&&) = delete;
    Prepared(const Prepared&) = delete;

    bool isValid() const { return m_statement != nullptr; }
    sqlite3_stmt* handle() const { return m_statement; }

    // SQLITE_ROW, SQLITE_DONE or an error (SQLITE_INTERRUPT once the time is up).
    int step();
    // Back to before the first row, bindings kept; the time bound starts again.
    void reset();
    // The error of the last step, as the engine words it.
    QString errorMessage() const { return m_connection->errorMessage(); }

private:
    Connection* m_connection;
    sqlite3_stmt* m_statement = nullptr;
    Clock::time_point m_deadline = Clock::time_point::max(); // max until the first step
};

} // namespace orvane::core::data
