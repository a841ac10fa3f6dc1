#include "core/data/Database.h"

#include "core/data/Cipher.h"
#include "core/data/RecordSetImpl.h"
#include "core/data/Schema.h"
#include "core/data/SqlFunctions.h"
#include "core/data/SqlQuery.h"

#include <sqlcipher/sqlite3.h>

#include <QFile>
#include <QFileInfo>

namespace orvane::data {

struct Database::Impl
{
    ~Impl() { sqlite3_close_v2(connection); }

    // A keyed connection with pages of `pageSize` bytes, proven by a first read; or nullptr.
    static std::unique_ptr<Impl> open(const QString& path, const QByteArray& key, const QByteArray& salt, int pageSize,
                                      QString* failure)
    {
        auto impl = std::make_unique<Impl>();
        impl->path = path;
        const bool opened =
            sqlite3_open_v2(QFile::encodeName(path).constData(), &impl->connection,
                            SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) == SQLITE_OK &&
            sqlite3_exec(impl->connection, cipher::rawKeyPragmas(key, salt, pageSize).constData(), nullptr, nullptr,
                         nullptr) == SQLITE_OK &&
            // Successive searches of one activation read the same pages; keeping
            // them spares decrypting them again. Filled only as pages are read.
            sqlite3_exec(impl->connection, "PRAGMA cache_size = -32768;", nullptr, nullptr, nullptr) == SQLITE_OK;
        // The first read both proves the key and tells whether the key indexes exist.
        const std::optional<qint64> keyIndexes =
            opened ? impl->queryNumber("SELECT count(*) FROM sqlite_master WHERE type = 'index' AND name IN"
                                       " ('ix_dictionary_k1', 'ix_dictionary_k2', 'ix_dictionary_k3',"
                                       " 'ix_dictionary_s1', 'ix_dictionary_s2')")
                   : std::nullopt;
        if (!keyIndexes) {
            *failure = impl->engineError();
            return nullptr;
        }
        impl->dictionaryKeys =
            *keyIndexes == 5 && impl->prepares("SELECT k1, k2, k3, s1, s2 FROM tbl_dictionary LIMIT 0");
        return impl;
    }

    sqlite3* connection = nullptr;
    QString path;
    bool dictionaryKeys = false;

    QString engineError() const { return QString::fromUtf8(sqlite3_errmsg(connection)); }

    // Runs a statement that yields one integer; nullopt when it fails, which on a freshly
    // keyed connection is where a wrong key or a file that is no database shows.
    std::optional<qint64> queryNumber(const char* sql) const
    {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(connection, sql, -1, &statement, nullptr) != SQLITE_OK)
            return std::nullopt;
        std::optional<qint64> number;
        if (sqlite3_step(statement) == SQLITE_ROW)
            number = sqlite3_column_int64(statement, 0);
        sqlite3_finalize(statement);
        return number;
    }

    bool prepares(const char* sql) const
    {
        sqlite3_stmt* statement = nullptr;
        const bool prepared = sqlite3_prepare_v2(connection, sql, -1, &statement, nullptr) == SQLITE_OK;
        sqlite3_finalize(statement);
        return prepared;
    }
};

std::shared_ptr<Database> Database::open(const QString& path, const QString& passphrase, QString* error)
{
    const auto fail = [error](const QString& reason) {
        if (error)
            *error = reason;
        return nullptr;
    };
    // The salt is read here rather than by the engine so the slow key derivation can be cached per salt.
    if (!QFileInfo(path).isFile())
        return fail(QStringLiteral("no database file at ") + path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    const QByteArray salt = file.read(cipher::SaltSize);
    file.close();
    if (salt.size() != cipher::SaltSize)
        return fail(QStringLiteral("file is too short to be a database"));

    const QByteArray key = cipher::rawKey(passphrase.toUtf8(), salt);
    std::unique_ptr<Impl> impl;
    QString failure;
    for (const int pageSize : {cipher::PageSize, cipher::DefaultPageSize}) {
        impl = Impl::open(path, key, salt, pageSize, &failure);
        if (impl)
            break;
    }
    if (!impl)
        return fail(failure);
    if (!sql::registerFunctions(impl->connection))
        return fail(impl->engineError());
    return std::shared_ptr<Database>(new Database(std::move(impl)));
}

Database::Database(std::unique_ptr<Impl> impl) : d(std::move(impl)) {}

Database::~Database() = default;

RecordSet Database::OpenRecordset(const Statement& statement)
{
    const auto failed = [](const QString& reason) { return RecordSet(std::make_unique<RecordSet::Impl>(reason)); };
    const std::optional<SqlQuery> query = SqlQuery::build(statement, d->dictionaryKeys);
    if (!query)
        return failed(QStringLiteral("not a plain table or column name in: ") + statement.displaySql());
    sqlite3_stmt* prepared = nullptr;
    if (sqlite3_prepare_v2(d->connection, query->sql.constData(), int(query->sql.size()), &prepared, nullptr) !=
        SQLITE_OK) {
        sqlite3_finalize(prepared);
        return failed(d->engineError());
    }
    int parameter = 1;
    for (const auto& value : query->values) {
        if (const auto* text = std::get_if<QByteArray>(&value))
            sqlite3_bind_text(prepared, parameter, text->constData(), int(text->size()), SQLITE_TRANSIENT);
        else
            sqlite3_bind_int64(prepared, parameter, std::get<qint64>(value));
        ++parameter;
    }
    return RecordSet(std::make_unique<RecordSet::Impl>(shared_from_this(), prepared));
}

bool Database::hasDictionaryKeys() const
{
    return d->dictionaryKeys;
}

QString Database::path() const
{
    return d->path;
}

} // namespace orvane::data
