#include "core/data/DatabaseWriter.h"

#include "core/data/Cipher.h"
#include "core/data/Connection.h"
#include "core/data/Database.h"
#include "core/data/MeaningIndex.h"
#include "core/data/PreparedStatement.h"
#include "core/data/Schema.h"
#include "core/data/StoredListing.h"
#include "core/data/UnicodeText.h"

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

void bindText(PreparedStatement& statement, int parameter, const OptionalText& value)
{
    if (value)
        statement.bindText(parameter, unicode::toUtf8(*value));
    else
        statement.bindNull(parameter);
}

void bindBlob(PreparedStatement& statement, int parameter, const std::optional<QByteArray>& value)
{
    if (value)
        statement.bindBlob(parameter, *value);
    else
        statement.bindNull(parameter);
}

void bindNumber(PreparedStatement& statement, int parameter, const std::optional<double>& value)
{
    if (value)
        statement.bindDouble(parameter, *value);
    else
        statement.bindNull(parameter);
}

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
    std::unique_ptr<Connection> connection;
    // Each insert is prepared on first use and re-bound for every row.
    std::optional<PreparedStatement> entry, key, glyph, config;
    bool committed = false;
    QString error;

    ~Impl()
    {
        closeConnection();
        if (!committed && !temporaryPath.isEmpty())
            QFile::remove(temporaryPath);
    }

    void closeConnection()
    {
        // Statements must be finalised before the connection closes.
        for (std::optional<PreparedStatement>* insert : {&entry, &key, &glyph, &config})
            insert->reset();
        connection.reset();
    }

    bool fail(const QString& reason)
    {
        if (error.isEmpty())
            error = reason;
        return false;
    }

    bool exec(const QByteArray& sql)
    {
        if (!connection)
            return fail(QStringLiteral("database is not open"));
        return connection->exec(sql.constData()) || fail(connection->errorMessage());
    }

    // The insert into `table`, prepared on first use; nullptr when it cannot be had.
    PreparedStatement* ready(std::optional<PreparedStatement>& insert, QLatin1StringView table)
    {
        if (!connection) {
            fail(QStringLiteral("database is not open"));
            return nullptr;
        }
        if (!insert && !insert.emplace(*connection, insertInto(table, options.withKeys)).isValid()) {
            fail(insert->errorMessage());
            insert.reset();
        }
        return insert ? &*insert : nullptr;
    }

    bool run(PreparedStatement& insert) { return insert.exec() || fail(insert.errorMessage()); }
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

    QString failure;
    d->connection = Connection::create(d->temporaryPath, &failure);
    if (!d->connection) {
        d->fail(failure);
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
    PreparedStatement* insert = d->ready(d->entry, DB_TABLE_DICTIONARY);
    if (!insert)
        return false;
    insert->bindInt64(1, entry.id);
    bindText(*insert, 2, entry.m1);
    bindText(*insert, 3, entry.m2);
    bindText(*insert, 4, entry.m3);
    bindText(*insert, 5, entry.meanings);
    if (d->options.withKeys) {
        bindText(*insert, 6, searchKeyOf(entry.m1));
        bindText(*insert, 7, searchKeyOf(entry.m2));
        bindText(*insert, 8, searchKeyOf(entry.m3));
        bindBlob(*insert, 9, sortKeyOf(entry.m1));
        bindBlob(*insert, 10, sortKeyOf(entry.m2));
    }
    return d->run(*insert);
}

bool DatabaseWriter::addKey(const std::optional<QString>& input, const std::optional<QString>& display)
{
    PreparedStatement* insert = d->ready(d->key, DB_TABLE_KEYBOARD);
    if (!insert)
        return false;
    bindText(*insert, 1, input);
    bindText(*insert, 2, display);
    return d->run(*insert);
}

bool DatabaseWriter::addGlyph(qint64 id, const std::optional<QString>& glyph)
{
    PreparedStatement* insert = d->ready(d->glyph, DB_TABLE_GLYPH);
    if (!insert)
        return false;
    insert->bindInt64(1, id);
    bindText(*insert, 2, glyph);
    return d->run(*insert);
}

bool DatabaseWriter::addConfig(const Config& config)
{
    PreparedStatement* insert = d->ready(d->config, DB_TABLE_CONFIG);
    if (!insert)
        return false;
    int parameter = 0;
    for (const OptionalText* text : {&config.name, &config.fnt1, &config.fnt3, &config.fnt4, &config.fnt5})
        bindText(*insert, ++parameter, *text);
    for (const std::optional<double>* size : {&config.fsz1, &config.fsz2, &config.fsz3, &config.fsz4, &config.fsz5})
        bindNumber(*insert, ++parameter, *size);
    bindText(*insert, ++parameter, config.about);
    return d->run(*insert);
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
    QString indexFailure;
    const auto writeMeaningIndex = [&] {
        return !d->options.meaningIndex || meaning::writeIndex(*d->connection, d->options.withKeys, &indexFailure) ||
               d->fail(indexFailure);
    };
    const auto writeStoredListings = [&] {
        return !d->options.withKeys || !d->options.storedListings ||
               listing::writeStored(*d->connection, &indexFailure) || d->fail(indexFailure);
    };
    // The meaning index and the stored listings read the list order from the key indexes,
    // so they come after them.
    const bool written = (!d->options.withKeys || d->exec(schema::createIndexes())) && writeMeaningIndex() &&
                         writeStoredListings() && d->exec("ANALYZE;") && d->exec("COMMIT;");
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
