#pragma once

#include <QByteArrayView>
#include <QString>
#include <chrono>

struct sqlite3_stmt;

namespace orvane::core::data {

class Connection;

// One SQL statement prepared on a connection, then bound and stepped as often as its
// owner needs: preparing is the costly part. Values are always bound, never pasted into
// SQL. Move-only; finalised when destroyed, which must happen before its connection closes.
// Each run counts against the connection's statement time bound from its first step.
class PreparedStatement
{
public:
    enum class Step
    {
        Row,
        Done,
        Failed // errorMessage() says why: a damaged page, the time bound...
    };
    enum class Type
    {
        Integer,
        Real,
        Text,
        Blob,
        Null
    };

    // isValid() is false when the engine refuses `sql`; errorMessage() then says why.
    PreparedStatement(Connection& connection, QByteArrayView sql);
    ~PreparedStatement();
    PreparedStatement(PreparedStatement&& other) noexcept;
    PreparedStatement& operator=(PreparedStatement&&) = delete;
    PreparedStatement(const PreparedStatement&) = delete;
    PreparedStatement& operator=(const PreparedStatement&) = delete;

    bool isValid() const { return m_statement != nullptr; }
    // The engine's message for the last failure on the connection.
    QString errorMessage() const;

    // Parameters count from 1, as ?1, ?2… do. Text and bytes are copied.
    void bindNull(int parameter);
    void bindInt64(int parameter, qint64 value);
    void bindDouble(int parameter, double value);
    void bindText(int parameter, QByteArrayView utf8);
    void bindBlob(int parameter, QByteArrayView bytes);

    Step step();
    // Back to before the first row, bindings kept; the time bound starts again.
    void reset();
    // Runs a statement that gives no rows (an INSERT) to its end, then readies it for the
    // next values: resets it and clears its bindings. False when it failed.
    bool exec();

    int columnCount() const;
    QString columnName(int column) const;
    Type columnType(int column) const;
    qint64 columnInt64(int column) const;
    double columnDouble(int column) const;
    // The UTF-8 text, or the bytes, of a column of the current row; valid until the next step.
    QByteArrayView columnText(int column) const;
    QByteArrayView columnBlob(int column) const;

private:
    Connection* m_connection;
    sqlite3_stmt* m_statement = nullptr;
    std::chrono::steady_clock::time_point m_deadline =
        std::chrono::steady_clock::time_point::max(); // until a first step
};

} // namespace orvane::core::data
