#include "core/data/PreparedStatement.h"

#include "core/data/Connection.h"

#include <sqlite3.h>

#include <utility>

namespace orvane::core::data {
namespace {

// The engine binds a null pointer as NULL; an empty text or blob is not null.
const char* notNull(QByteArrayView bytes)
{
    return bytes.data() ? bytes.data() : "";
}

} // namespace

PreparedStatement::PreparedStatement(Connection& connection, QByteArrayView sql) : m_connection(&connection)
{
    if (sqlite3_prepare_v2(connection.handle(), sql.constData(), int(sql.size()), &m_statement, nullptr) != SQLITE_OK) {
        sqlite3_finalize(m_statement);
        m_statement = nullptr;
    }
}

PreparedStatement::~PreparedStatement()
{
    sqlite3_finalize(m_statement);
}

PreparedStatement::PreparedStatement(PreparedStatement&& other) noexcept
    : m_connection(other.m_connection), m_statement(std::exchange(other.m_statement, nullptr)),
      m_deadline(other.m_deadline)
{}

QString PreparedStatement::errorMessage() const
{
    return m_connection->errorMessage();
}

void PreparedStatement::bindNull(int parameter)
{
    sqlite3_bind_null(m_statement, parameter);
}

void PreparedStatement::bindInt64(int parameter, qint64 value)
{
    sqlite3_bind_int64(m_statement, parameter, value);
}

void PreparedStatement::bindDouble(int parameter, double value)
{
    sqlite3_bind_double(m_statement, parameter, value);
}

void PreparedStatement::bindText(int parameter, QByteArrayView utf8)
{
    sqlite3_bind_text64(m_statement, parameter, notNull(utf8), sqlite3_uint64(utf8.size()), SQLITE_TRANSIENT,
                        SQLITE_UTF8);
}

void PreparedStatement::bindBlob(int parameter, QByteArrayView bytes)
{
    sqlite3_bind_blob64(m_statement, parameter, notNull(bytes), sqlite3_uint64(bytes.size()), SQLITE_TRANSIENT);
}

PreparedStatement::Step PreparedStatement::step()
{
    if (m_deadline == Clock::time_point::max())
        m_deadline = Clock::now() + statementTimeLimit();
    // Statements of one connection may take turns; each runs against its own deadline.
    m_connection->deadline = m_deadline;
    const int result = sqlite3_step(m_statement);
    m_connection->deadline = Clock::time_point::max();
    return result == SQLITE_ROW ? Step::Row : result == SQLITE_DONE ? Step::Done : Step::Failed;
}

void PreparedStatement::reset()
{
    sqlite3_reset(m_statement);
    m_deadline = Clock::time_point::max();
}

bool PreparedStatement::exec()
{
    const bool done = step() == Step::Done;
    reset();
    sqlite3_clear_bindings(m_statement);
    return done;
}

int PreparedStatement::columnCount() const
{
    return sqlite3_column_count(m_statement);
}

QString PreparedStatement::columnName(int column) const
{
    return QString::fromUtf8(sqlite3_column_name(m_statement, column));
}

PreparedStatement::Type PreparedStatement::columnType(int column) const
{
    switch (sqlite3_column_type(m_statement, column)) {
    case SQLITE_INTEGER:
        return Type::Integer;
    case SQLITE_FLOAT:
        return Type::Real;
    case SQLITE_TEXT:
        return Type::Text;
    case SQLITE_BLOB:
        return Type::Blob;
    default:
        return Type::Null;
    }
}

qint64 PreparedStatement::columnInt64(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

double PreparedStatement::columnDouble(int column) const
{
    return sqlite3_column_double(m_statement, column);
}

QByteArrayView PreparedStatement::columnText(int column) const
{
    // The text first, then its size: asking for the size first could convert the value twice.
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
    return QByteArrayView(text, sqlite3_column_bytes(m_statement, column));
}

QByteArrayView PreparedStatement::columnBlob(int column) const
{
    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(m_statement, column));
    return QByteArrayView(bytes, sqlite3_column_bytes(m_statement, column));
}

} // namespace orvane::core::data
