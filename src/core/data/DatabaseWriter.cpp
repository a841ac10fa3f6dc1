#include "core/data/DatabaseWriter.h"

#include "core/data/Cipher.h"
#include "core/data/Database.h"
#include "core/data/Schema.h"
#include "core/data/UnicodeText.h"

#include <sqlite3.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>

namespace orvane::core::data {
namespace {

using OptionalText = std::optional<QString>;

// A prepared INSERT, re-bound for every row: preparing is the costly part.
class Insert
{
public:
    Insert() = default;
    Insert(const Insert&) = delete;
    Insert& operator=(const Insert&) = delete;
    ~Insert() { finalize(); }

    void finalize()
    {
        sqlite3_finalize(m_statement);
        m_statement = nullptr;
    }

    bool isPrepared() const { return m_statement != nullptr; }
    bool prepare(sqlite3* connection, const QByteArray& sql)
    {
        return sqlite3_prepare_v2(connection, sql.constData(), int(sql.size()), &m_statement, nullptr) == SQLITE_OK;
    }

    void text(int parameter, const OptionalText& value)
    {
        if (!value) {
            sqlite3_bind_null(m_statement, parameter);
            return;
        }
        const QByteArray utf8 = unicode::toUtf8(*value);
        sqlite3_bind_text(m_statement, parameter, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    }

    void blob(int parameter, const std::optional<QByteArray>& value)
    {
        if (!value)
            sqlite3_bind_null(m_statement, parameter);
        else
            sqlite3_bind_blob(m_statement, parameter, value->constData(), int(value->size()), SQLITE_TRANSIENT);
    }

    void number(int parameter, qint64 value) { sqlite3_bind_int64(m_statement, parameter, value); }

    void number(int parameter, const std::optional<double>& value)
    {
        if (value)
            sqlite3_bind_double(m_statement, parameter, *value);
        else
            sqlite3_bind_null(m_statement, parameter);
    }

    bool run()
    {
        const bool done = sqlite3_step(m_statement) == SQLITE_DONE;
        sqlite3_reset(m_statement);
        sqlite3_clear_bindings(m_statement);
        return done;
    }

private:
    sqlite3_stmt* m_statement = nullptr;
};

// An INSERT of every column that CREATE TABLE gave `table`, in that order.
QByteArray insertInto(QLatin1StringView table, bool withKeys)
{
    const QStringList columns = schema::tableColumns(table, withKeys);
    return (QStringLiteral("INSERT INTO ") + table + QStringLiteral(" (") + columns.join(u", ") +
            QStringLiteral(") VALUES (") + QStringList(columns.size(), QStringLiteral("?")).join(u", ") + u')')
        .toUtf8();
}

OptionalText searchKeyOf(const OptionalText& text)
{
    return text ? OptionalText(schema::searchKey(*text)) : std::nullopt;
}

std::optional<QByteArray> sortKeyOf(const OptionalText& text)
{
    return text ? std::optional<QByteArray>(schema::sortKey(*text)) : std::nullopt;
}

} // namespace

struct DatabaseWriter::Impl
{
    QString targetPath, temporaryPath;
    Options options;
    sqlite3* connection = nullptr;
    bool committed = false;
    QString error;
    Insert entry, key, glyph, config;

    ~Impl()
    {
        closeConnection();
        if (!committed && !temporaryPath.isEmpty())
            QFile::remove(temporaryPath);
    }

    void closeConnection()
    {
        // Statements must be finalised before the connection closes.
        for (Insert* insert : {&entry, &key, &glyph, &config})
            insert->finalize();
        sqlite3_close_v2(connection);
        connection = nullptr;
    }

    bool fail(const QString& reason)
    {
        if (error.isEmpty())
            error = reason;
        return false;
    }

    bool failWithEngineError() { return fail(QString::fromUtf8(sqlite3_errmsg(connection))); }

    bool exec(const QByteArray& sql)
    {
        if (!connection)
            return fail(QStringLiteral("database is not open"));
        char* message = nullptr;
        if (sqlite3_exec(connection, sql.constData(), nullptr, nullptr, &message) == SQLITE_OK)
            return true;
        const QString reason = QString::fromUtf8(message);
        sqlite3_free(message);
        return fail(reason);
    }

    // The insert into `table`, prepared on first use.
    bool ready(Insert& insert, QLatin1StringView table)
    {
        if (!connection)
            return fail(QStringLiteral("database is not open"));
        return insert.isPrepared() || insert.prepare(connection, insertInto(table, options.withKeys)) ||
               failWithEngineError();
    }

    bool run(Insert& insert) { return insert.run() || failWithEngineError(); }
};

DatabaseWriter::DatabaseWriter(const QString& targetPath, Options options) : d(std::make_unique<Impl>())
{
    d->targetPath = QFileInfo(targetPath).absoluteFilePath();
    d->options = std::move(options);
    if (d->options.passphrase.isEmpty())
        d->options.passphrase = QString::fromLatin1(DatabasePassword);

    // The temporary file lies beside the target so the final rename stays on one file system.
    QTemporaryFile reserved(d->targetPath + QStringLiteral(".XXXXXX.part"));
    reserved.setAutoRemove(false);
    if (!reserved.open()) {
        d->fail(reserved.errorString());
        return;
    }
    d->temporaryPath = reserved.fileName();
    reserved.close();

    if (sqlite3_open_v2(QFile::encodeName(d->temporaryPath).constData(), &d->connection,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        d->failWithEngineError();
        d->closeConnection();
        return;
    }
    const QByteArray layout =
        d->options.encrypted ? cipher::keyPragmas(cipher::passphraseLiteral(d->options.passphrase), cipher::PageSize)
                             : "PRAGMA page_size = " + QByteArray::number(cipher::PageSize) + ';';
    // The file is renamed into place only when complete, so a journal buys nothing.
    const bool ready = d->exec(layout) &&
                       d->exec("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF; PRAGMA temp_store = MEMORY;"
                               " PRAGMA cache_size = -65536;") &&
                       d->exec(schema::createTables(d->options.withKeys)) && d->exec("BEGIN;");
    if (!ready)
        d->closeConnection();
}

DatabaseWriter::~DatabaseWriter() = default;

bool DatabaseWriter::isOpen() const
{
    return d->connection != nullptr;
}

QString DatabaseWriter::error() const
{
    return d->error;
}

bool DatabaseWriter::addEntry(const Entry& entry)
{
    if (!d->ready(d->entry, DB_TABLE_DICTIONARY))
        return false;
    if (d->options.withKeys) {
        d->entry.text(6, searchKeyOf(entry.m1));
        d->entry.text(7, searchKeyOf(entry.m2));
        d->entry.text(8, searchKeyOf(entry.m3));
        d->entry.blob(9, sortKeyOf(entry.m1));
        d->entry.blob(10, sortKeyOf(entry.m2));
    }
    d->entry.number(1, entry.id);
    d->entry.text(2, entry.m1);
    d->entry.text(3, entry.m2);
    d->entry.text(4, entry.m3);
    d->entry.text(5, entry.meanings);
    return d->run(d->entry);
}

bool DatabaseWriter::addKey(const std::optional<QString>& input, const std::optional<QString>& display)
{
    if (!d->ready(d->key, DB_TABLE_KEYBOARD))
        return false;
    d->key.text(1, input);
    d->key.text(2, display);
    return d->run(d->key);
}

bool DatabaseWriter::addGlyph(qint64 id, const std::optional<QString>& glyph)
{
    if (!d->ready(d->glyph, DB_TABLE_GLYPH))
        return false;
    d->glyph.number(1, id);
    d->glyph.text(2, glyph);
    return d->run(d->glyph);
}

bool DatabaseWriter::addConfig(const Config& config)
{
    if (!d->ready(d->config, DB_TABLE_CONFIG))
        return false;
    d->config.text(1, config.name);
    d->config.text(2, config.fnt1);
    d->config.text(3, config.fnt3);
    d->config.text(4, config.fnt4);
    d->config.text(5, config.fnt5);
    d->config.number(6, config.fsz1);
    d->config.number(7, config.fsz2);
    d->config.number(8, config.fsz3);
    d->config.number(9, config.fsz4);
    d->config.number(10, config.fsz5);
    d->config.text(11, config.about);
    return d->run(d->config);
}

bool DatabaseWriter::addRows(const Rows& rows)
{
    bool added = isOpen();
    for (const Entry& entry : rows.entries)
        added = added && addEntry(entry);
    for (const auto& [input, display] : rows.keys)
        added = added && addKey(input, display);
    for (const auto& [id, glyph] : rows.glyphs)
        added = added && addGlyph(id, glyph);
    for (const Config& config : rows.configs)
        added = added && addConfig(config);
    for (const QString& sql : rows.extraSql)
        added = added && exec(sql);
    return added;
}

bool DatabaseWriter::exec(const QString& sql)
{
    return d->exec(sql.toUtf8());
}

bool DatabaseWriter::commit()
{
    if (!d->connection)
        return d->fail(QStringLiteral("database is not open"));
    const bool written =
        (!d->options.withKeys || d->exec(schema::createIndexes())) && d->exec("ANALYZE;") && d->exec("COMMIT;");
    d->closeConnection();
    if (!written)
        return false;
    // The temporary file was created private to its owner, but a dictionary is meant to be
    // read by every user: it gets the permissions of any new file, 0666 less the umask.
    const mode_t mask = umask(0);
    umask(mask);
    if (chmod(QFile::encodeName(d->temporaryPath).constData(), 0666 & ~mask) != 0)
        return d->fail(QString::fromLocal8Bit(std::strerror(errno)));
    std::error_code failure;
    // rename() replaces the target in one step: readers see the old file or the new one, never a mix.
    std::filesystem::rename(QFile::encodeName(d->temporaryPath).toStdString(),
                            QFile::encodeName(d->targetPath).toStdString(), failure);
    if (failure)
        return d->fail(QString::fromStdString(failure.message()));
    d->committed = true;
    return true;
}

} // namespace orvane::core::data
