#include "core/data/Connection.h"

#include "core/data/Database.h"
#include "core/data/PreparedStatement.h"
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

std::unique_ptr<Connection> Connection::openFile(const QString& path, int flags, QString* failure)
{
    sqlite3* handle = nullptr;
    const int opened = sqlite3_open_v2(QFile::encodeName(path).constData(), &handle, flags, nullptr);
    if (opened != SQLITE_OK) {
        *failure = QString::fromUtf8(handle ? sqlite3_errmsg(handle) : sqlite3_errstr(opened));
        sqlite3_close_v2(handle);
        return nullptr;
    }
    return std::unique_ptr<Connection>(new Connection(handle));
}

std::unique_ptr<Connection> Connection::open(const QString& path, QString* failure)
{
    static std::once_flag heapLimit;
    std::call_once(heapLimit, [] { sqlite3_hard_heap_limit64(HeapLimit); });
    std::unique_ptr<Connection> connection = openFile(path, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, failure);
    if (connection && !connection->harden()) {
        *failure = connection->errorMessage();
        return nullptr;
    }
    return connection;
}

std::unique_ptr<Connection> Connection::create(const QString& path, QString* failure)
{
    return openFile(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, failure);
}

bool Connection::isThreadSafe()
{
    return sqlite3_threadsafe() != 0;
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
    PreparedStatement tables(*this,
                             "SELECT type FROM pragma_table_list WHERE schema = 'main' AND name = ?1 COLLATE NOCASE");
    PreparedStatement columns(*this, "SELECT count(*) FROM pragma_table_info(?1) WHERE name = ?2 COLLATE NOCASE");
    if (!tables.isValid() || !columns.isValid())
        return errorMessage();
    using Step = PreparedStatement::Step;
    for (const auto& [table, named] : Statement::namedColumns()) {
        const QByteArray name = table.toUtf8();
        tables.reset();
        tables.bindText(1, name);
        const Step found = tables.step();
        if (found == Step::Done)
            continue;
        if (found != Step::Row)
            return errorMessage();
        const QString type = QString::fromUtf8(tables.columnText(0));
        if (type != u"table")
            return table + QStringLiteral(" is a ") + type + QStringLiteral(", not a table");
        for (const QString& column : named) {
            columns.reset();
            columns.bindText(1, name);
            columns.bindText(2, column.toUtf8());
            if (columns.step() != Step::Row)
                return errorMessage();
            if (columns.columnInt64(0) == 0)
                return table + QStringLiteral(" has no column ") + column;
        }
    }
    return std::nullopt;
}

} // namespace orvane::core::data
