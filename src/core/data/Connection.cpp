#include "core/data/Connection.h"

#include "core/data/Database.h"
#include "core/data/Statement.h"

#include <sqlite3.h>

#include <QFile>
#include <atomic>
#include <cstring>
#include <mutex>

namespace orvane::core::data {
namespace {

std::atomic<std::chrono::milliseconds::rep> timeLimitMs{30'000};

// The engine's memory in the whole process: far above what a million-entry dictionary
// needs (page caches of a few tens of megabytes, sorts that spill to files), far below
// what would take the machine down. An allocation beyond it fails the statement.
constexpr sqlite3_int64 HeapLimit = sqlite3_int64(512) << 20;

// Sizes no dictionary comes near, which bound what a crafted file can make the engine
// build: the longest text or blob, the longest SQL (the schema's included), nesting.
constexpr std::pair<int, int> Limits[] = {
    {SQLITE_LIMIT_LENGTH, 32 << 20},   {SQLITE_LIMIT_SQL_LENGTH, 100'000}, {SQLITE_LIMIT_EXPR_DEPTH, 100},
    {SQLITE_LIMIT_COMPOUND_SELECT, 8}, {SQLITE_LIMIT_VDBE_OP, 100'000},    {SQLITE_LIMIT_FUNCTION_ARG, 16},
    {SQLITE_LIMIT_ATTACHED, 0},        {SQLITE_LIMIT_VARIABLE_NUMBER, 32}, {SQLITE_LIMIT_TRIGGER_DEPTH, 1},
    {SQLITE_LIMIT_WORKER_THREADS, 0},
};

// Nonzero ends the statement stepping now, with SQLITE_INTERRUPT.
int pastDeadline(void* connection)
{
    return Clock::now() > static_cast<const Connection*>(connection)->deadline ? 1 : 0;
}

} // namespace

std::chrono::milliseconds statementTimeLimit()
{
    return std::chrono::milliseconds(timeLimitMs.load());
}

void setStatementTimeLimit(std::chrono::milliseconds limit)
{
    timeLimitMs = limit.count();
}

QString engineVersion()
{
#ifdef ORVANE_SYSTEM_SQLCIPHER
    const char* cipher = "SQLCipher";
#else
    const char* cipher = sqlite3mc_version();
#endif
    return QStringLiteral("SQLite %1 (%2)").arg(QLatin1String(sqlite3_libversion()), QLatin1String(cipher));
}

Connection::Connection(sqlite3* handle) : m_handle(handle) {}

Connection::~Connection()
{
    sqlite3_close_v2(m_handle);
}

std::unique_ptr<Connection> Connection::hardened(sqlite3* handle, QString* failure)
{
    std::unique_ptr<Connection> connection(new Connection(handle));
    if (!handle || !connection->harden()) {
        *failure = handle ? connection->errorMessage() : QStringLiteral("out of memory");
        return nullptr;
    }
    return connection;
}

std::unique_ptr<Connection> Connection::open(const QString& path, QString* failure)
{
    static std::once_flag heapLimit;
    std::call_once(heapLimit, [] { sqlite3_hard_heap_limit64(HeapLimit); });
    sqlite3* handle = nullptr;
    const int opened = sqlite3_open_v2(QFile::encodeName(path).constData(), &handle,
                                       SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    if (opened != SQLITE_OK) {
        *failure = QString::fromUtf8(handle ? sqlite3_errmsg(handle) : sqlite3_errstr(opened));
        sqlite3_close_v2(handle);
        return nullptr;
    }
    return hardened(handle, failure);
}

std::unique_ptr<Connection> Connection::fromImage(const QByteArray& image, QString* failure)
{
    std::unique_ptr<Connection> connection = open(QStringLiteral(":memory:"), failure);
    if (!connection)
        return nullptr;
    // The engine owns the copy and frees it with the connection, or here if it refuses it.
    auto* bytes = static_cast<unsigned char*>(sqlite3_malloc64(sqlite3_uint64(std::max<qsizetype>(image.size(), 1))));
    if (!bytes) {
        *failure = QStringLiteral("out of memory");
        return nullptr;
    }
    std::memcpy(bytes, image.constData(), std::size_t(image.size()));
    if (sqlite3_deserialize(connection->m_handle, "main", bytes, image.size(), image.size(),
                            SQLITE_DESERIALIZE_FREEONCLOSE | SQLITE_DESERIALIZE_READONLY) != SQLITE_OK) {
        *failure = connection->errorMessage();
        return nullptr;
    }
    return connection;
}

bool Connection::harden()
{
    // No schema code of the file runs: a view or trigger could do anything a statement can.
    // (Strings in double quotes, which old schemas may hold, the engine reads there anyway.)
    constexpr std::pair<int, int> Settings[] = {
        {SQLITE_DBCONFIG_DEFENSIVE, 1},   {SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0}, {SQLITE_DBCONFIG_ENABLE_TRIGGER, 0},
        {SQLITE_DBCONFIG_ENABLE_VIEW, 0}, {SQLITE_DBCONFIG_DQS_DML, 0},
    };
    for (const auto& [setting, value] : Settings) {
        if (sqlite3_db_config(m_handle, setting, value, nullptr) != SQLITE_OK)
            return false;
    }
    for (const auto& [limit, value] : Limits)
        sqlite3_limit(m_handle, limit, value);
    // Often enough that the clock is read every few microseconds of work, seldom enough to cost nothing.
    sqlite3_progress_handler(m_handle, 1000, pastDeadline, this);
    return exec("PRAGMA cell_size_check = ON; PRAGMA query_only = ON; PRAGMA mmap_size = 0;");
}

bool Connection::exec(const char* sql) const
{
    return sqlite3_exec(m_handle, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

QString Connection::errorMessage() const
{
    return QString::fromUtf8(sqlite3_errmsg(m_handle));
}

std::optional<QString> Connection::unexpectedSchema()
{
    // Reading the list of tables parses the whole schema: a damaged one fails here.
    Prepared tables(*this, "SELECT type FROM pragma_table_list WHERE schema = 'main' AND name = ?1 COLLATE NOCASE");
    Prepared columns(*this, "SELECT count(*) FROM pragma_table_info(?1) WHERE name = ?2 COLLATE NOCASE");
    if (!tables.isValid() || !columns.isValid())
        return errorMessage();
    for (const auto& [table, named] : Statement::namedColumns()) {
        const QByteArray name = table.toUtf8();
        tables.reset();
        sqlite3_bind_text(tables.handle(), 1, name.constData(), int(name.size()), SQLITE_STATIC);
        const int found = tables.step();
        if (found == SQLITE_DONE)
            continue;
        if (found != SQLITE_ROW)
            return errorMessage();
        const QString type = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(tables.handle(), 0)));
        if (type != u"table")
            return table + QStringLiteral(" is a ") + type + QStringLiteral(", not a table");
        for (const QString& column : named) {
            const QByteArray columnName = column.toUtf8();
            columns.reset();
            sqlite3_bind_text(columns.handle(), 1, name.constData(), int(name.size()), SQLITE_STATIC);
            sqlite3_bind_text(columns.handle(), 2, columnName.constData(), int(columnName.size()), SQLITE_STATIC);
            if (columns.step() != SQLITE_ROW)
                return errorMessage();
            if (sqlite3_column_int(columns.handle(), 0) == 0)
                return table + QStringLiteral(" has no column ") + column;
        }
    }
    return std::nullopt;
}

Prepared::Prepared(Connection& connection, QByteArrayView sql) : m_connection(&connection)
{
    if (sqlite3_prepare_v2(connection.handle(), sql.constData(), int(sql.size()), &m_statement, nullptr) != SQLITE_OK) {
        sqlite3_finalize(m_statement);
        m_statement = nullptr;
    }
}

Prepared::~Prepared()
{
    sqlite3_finalize(m_statement);
}

Prepared::Prepared(Prepared&& other) noexcept
    : m_connection(other.m_connection), m_statement(std::exchange(other.m_statement, nullptr)),
      m_deadline(other.m_deadline)
{}

int Prepared::step()
{
    if (m_deadline == Clock::time_point::max())
        m_deadline = Clock::now() + statementTimeLimit();
    // Statements of one connection may take turns; each runs against its own deadline.
    m_connection->deadline = m_deadline;
    const int result = sqlite3_step(m_statement);
    m_connection->deadline = Clock::time_point::max();
    return result;
}

void Prepared::reset()
{
    sqlite3_reset(m_statement);
    m_deadline = Clock::time_point::max();
}

} // namespace orvane::core::data
