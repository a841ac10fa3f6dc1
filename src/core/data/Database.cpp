#include "core/data/Database.h"

#include "core/data/Cipher.h"
#include "core/data/Connection.h"
#include "core/data/PreparedStatement.h"
#include "core/data/RecordSet.h"
#include "core/data/Scan.h"
#include "core/data/Schema.h"
#include "core/data/SqlFunctions.h"
#include "core/data/SqlQuery.h"
#include "core/data/StoredListing.h"

#include <QFileInfo>
#include <functional>
#include <future>

namespace orvane::core::data {
namespace {

// tbl_dictionary's name for SQL text.
QByteArray dictionaryTable()
{
    return QByteArray(DB_TABLE_DICTIONARY.data(), DB_TABLE_DICTIONARY.size());
}

// Reads a listing in two pieces at once: `lower` reads the first, `upper` the second on the
// other core (or here when no thread can be had); without `upper` one piece. Room is made
// for `expected` rows in all. False when either read fails.
bool readInHalves(Listing& listing, qint64 expected, const std::function<bool(ListedRows&)>& lower,
                  const std::function<bool(ListedRows&)>& upper)
{
    listing.resize(upper ? 2 : 1);
    for (ListedRows& piece : listing)
        piece.reserve(upper ? expected / 2 + expected / 8 : expected);
    if (!upper)
        return lower(listing[0]);
    std::future<bool> upperRead =
        std::async(std::launch::async | std::launch::deferred, [&] { return upper(listing[1]); });
    const bool lowerRead = lower(listing[0]);
    return upperRead.get() && lowerRead;
}

} // namespace

// The connection and what the data layer knows of its file.
struct Database::Impl
{
    // A keyed connection with pages of `pageSize` bytes, proven by a first read; or nullptr.
    static std::unique_ptr<Impl> open(const QString& path, const QByteArray& key, const QByteArray& salt, int pageSize,
                                      QString* failure);
    // The first read proves the key (a wrong one, or a file that is no database, shows
    // here), refuses a schema that is not Orvane's and tells whether the key indexes exist.
    bool firstRead(QString* failure);
    // The names of the database's indexes; nullopt when they cannot be read.
    std::optional<QStringList> indexNames() const;
    void holdCurrentRead() const;
    // The engine's rows of `statement`; nullptr, with the reason in *failure, when it cannot run.
    std::unique_ptr<RowSource> prepare(const Statement& statement, QString* failure,
                                       const std::optional<SqlQuery::SortKeyPart>& part = std::nullopt) const;
    // The rows of a search that looks at every row, from the listing held for the file;
    // nullptr when no listing can serve (the file changed since it was opened, or a read failed).
    std::unique_ptr<RowSource> scan(const ScanPlan& plan) const;
    std::shared_ptr<Listing> readListing(const ScanPlan& plan) const;
    bool readStoredListing(const ScanPlan& plan, Listing& listing) const;
    bool walkListing(const ScanPlan& plan, Listing& listing) const;
    // Another connection to the file, for reading a listing; nullptr when it cannot be had.
    std::unique_ptr<Impl> reader() const;
    qint64 estimatedRows() const;
    std::optional<QByteArray> middleSortKey(const QString& sortColumn) const;
    // The first column of the first row of `sql` (with ?1 bound to `parameter`) as bytes;
    // a null QByteArray for no row or null.
    QByteArray value(const QByteArray& sql, qint64 parameter = 0) const;

    std::unique_ptr<Connection> connection;
    QString path; // empty for an image in memory
    // The state of the file that the connection's held read belongs to (see holdCurrentRead).
    mutable std::optional<FileIdentity> heldRead;
    QByteArray key, salt; // as opened, for a second connection to the file
    int pageSize = 0;
    bool dictionaryKeys = false;
    bool meaningIndex = false;
    bool storedListings = false; // the builder's listings (StoredListing.h)
    // Listings held for searches that look at every row; none while the file is changing.
    std::shared_ptr<ScanCache> scanCache;
};

std::unique_ptr<Database::Impl> Database::Impl::open(const QString& path, const QByteArray& key, const QByteArray& salt,
                                                     int pageSize, QString* failure)
{
    auto impl = std::make_unique<Impl>();
    impl->path = path;
    impl->key = key;
    impl->salt = salt;
    impl->pageSize = pageSize;
    impl->connection = Connection::open(path, failure);
    if (!impl->connection)
        return nullptr;
    // Successive searches of one activation read the same pages; keeping
    // them spares decrypting them again. Filled only as pages are read.
    const QByteArray keying = cipher::keyPragmas(cipher::rawKeyLiteral(key, salt), pageSize);
    if (!impl->connection->exec(keying.constData()) || !impl->connection->exec("PRAGMA cache_size = -32768;")) {
        *failure = impl->connection->errorMessage();
        return nullptr;
    }
    return impl->firstRead(failure) ? std::move(impl) : nullptr;
}

bool Database::Impl::firstRead(QString* failure)
{
    const std::optional<QString> unexpected = connection->unexpectedSchema();
    const std::optional<QStringList> indexes = unexpected ? std::nullopt : indexNames();
    if (!indexes || !sql::registerFunctions(connection->handle())) {
        *failure = unexpected.value_or(connection->errorMessage());
        return false;
    }
    const QStringList keyIndexes = schema::keyIndexNames();
    // Prepared, never run: it compiles when the table has every key column.
    const Statement keys{DB_TABLE_DICTIONARY, schema::keyColumns(), std::nullopt, {}};
    dictionaryKeys = std::all_of(keyIndexes.cbegin(), keyIndexes.cend(),
                                 [&](const QString& name) { return indexes->contains(name); }) &&
                     PreparedStatement(*connection, SqlQuery::build(keys, false)->sql).isValid();
    meaningIndex = meaning::hasIndex(*connection);
    storedListings = dictionaryKeys && listing::hasStored(*connection);
    return true;
}

std::optional<QStringList> Database::Impl::indexNames() const
{
    PreparedStatement statement(*connection, "SELECT name FROM sqlite_master WHERE type = 'index'");
    if (!statement.isValid())
        return std::nullopt;
    QStringList names;
    PreparedStatement::Step result;
    while ((result = statement.step()) == PreparedStatement::Step::Row)
        names << QString::fromUtf8(statement.columnText(0));
    return result == PreparedStatement::Step::Done ? std::optional(names) : std::nullopt;
}

// At the start of each read the engine checks whether the file changed, and for an
// encrypted file that means decrypting its first page again: more than a look-up by id
// costs itself. So one read is held while the file's device, inode, size and times stay
// as they were, and begun afresh when they change, so that nothing read from an earlier
// state of the file is reused. Called before each statement of the engine.
void Database::Impl::holdCurrentRead() const
{
    const std::optional<FileIdentity> current = path.isEmpty() ? std::nullopt : FileIdentity::of(path);
    if (path.isEmpty() || (current && current == heldRead))
        return;
    connection->exec("COMMIT;"); // fails when no read is held, which is as good
    heldRead = current && connection->exec("BEGIN;") ? current : std::nullopt;
}

std::unique_ptr<RowSource> Database::Impl::prepare(const Statement& statement, QString* failure,
                                                   const std::optional<SqlQuery::SortKeyPart>& part) const
{
    const std::optional<SqlQuery> query = SqlQuery::build(statement, dictionaryKeys, part);
    if (!query) {
        *failure = QStringLiteral("not a plain table or column name in: ") + statement.displaySql();
        return nullptr;
    }
    holdCurrentRead();
    PreparedStatement prepared(*connection, query->sql);
    if (!prepared.isValid()) {
        *failure = prepared.errorMessage();
        return nullptr;
    }
    query->bindValues(prepared);
    return statementRows(std::move(prepared));
}

std::unique_ptr<RowSource> Database::Impl::scan(const ScanPlan& plan) const
{
    if (!scanCache || FileIdentity::of(path) != scanCache->identity())
        return nullptr;
    // A stored listing is read again in a fraction of the time a walk takes: two are held.
    const std::size_t kept = storedListings ? 2 : SIZE_MAX;
    std::shared_ptr<const Listing> listing = scanCache->listing(
        plan, [&] { return readListing(plan); }, kept);
    return listing ? matchingRows(std::move(listing), plan) : nullptr;
}

// The listing of `plan`, read on connections of its own: they read each page once, so
// they keep no cache, and the pages that prefix searches reuse stay in this one's. The
// builder's stored listing is read when the file has one; else, or when it cannot be read
// whole, the listing is walked from the indexes.
std::shared_ptr<Listing> Database::Impl::readListing(const ScanPlan& plan) const
{
    auto listing = std::make_shared<Listing>();
    bool read = storedListings && readStoredListing(plan, *listing);
    if (!read)
        read = walkListing(plan, *listing = Listing()); // without what a failed read left
    // The readers must have read the state of the file that the listing is held for.
    if (!read || FileIdentity::of(path) != scanCache->identity())
        return nullptr;
    return listing;
}

// Two connections may work at once only in an engine built for threads: then each reads
// half of the parts.
bool Database::Impl::readStoredListing(const ScanPlan& plan, Listing& listing) const
{
    const std::unique_ptr<Impl> lowerReader = reader();
    const std::optional<int> parts = lowerReader ? listing::storedParts(*lowerReader->connection, plan) : std::nullopt;
    if (!parts)
        return false;
    const std::unique_ptr<Impl> upperReader = *parts > 1 && Connection::isThreadSafe() ? reader() : nullptr;
    const int middle = upperReader ? *parts / 2 : *parts;
    const auto lower = [&](ListedRows& into) {
        return listing::readStored(*lowerReader->connection, plan, 0, middle, into);
    };
    const auto upper = [&](ListedRows& into) {
        return listing::readStored(*upperReader->connection, plan, middle, *parts, into);
    };
    return readInHalves(listing, estimatedRows(), lower, upperReader ? upper : std::function<bool(ListedRows&)>());
}

// With key columns the walk goes on two cores, since it means decrypting a whole index:
// one connection reads the rows without a sort key and those below a middle one, the
// other the rest.
bool Database::Impl::walkListing(const ScanPlan& plan, Listing& listing) const
{
    using Part = SqlQuery::SortKeyPart;
    const Statement statement = plan.listing(dictionaryKeys);
    const std::optional<QByteArray> middle =
        dictionaryKeys && Connection::isThreadSafe() ? middleSortKey(schema::sortKeyColumn(plan.listed)) : std::nullopt;
    const std::unique_ptr<Impl> lowerReader = reader(), upperReader = middle ? reader() : nullptr;
    if (!lowerReader)
        return false;
    QString failure;
    if (!upperReader) {
        const std::unique_ptr<RowSource> all = lowerReader->prepare(statement, &failure);
        const auto whole = [&](ListedRows& into) { return data::readListing(*all, plan, dictionaryKeys, into); };
        return all && readInHalves(listing, estimatedRows(), whole, {});
    }
    const std::unique_ptr<RowSource> nulls = lowerReader->prepare(statement, &failure, Part{Part::Null});
    const std::unique_ptr<RowSource> below = lowerReader->prepare(statement, &failure, Part{Part::Below, *middle});
    const std::unique_ptr<RowSource> from = upperReader->prepare(statement, &failure, Part{Part::From, *middle});
    if (!nulls || !below || !from)
        return false;
    const auto lower = [&](ListedRows& into) {
        return data::readListing(*nulls, plan, dictionaryKeys, into) &&
               data::readListing(*below, plan, dictionaryKeys, into);
    };
    const auto upper = [&](ListedRows& into) { return data::readListing(*from, plan, dictionaryKeys, into); };
    return readInHalves(listing, estimatedRows(), lower, upper);
}

std::unique_ptr<Database::Impl> Database::Impl::reader() const
{
    QString failure;
    std::unique_ptr<Impl> connected = open(path, key, salt, pageSize, &failure);
    if (!connected || !connected->connection->exec("PRAGMA cache_size = -1024;"))
        return nullptr;
    return connected;
}

// The number of rows of tbl_dictionary as the builder's statistics give it, 0 when it
// has none; only room is reserved by it, so a file's word is not taken beyond 4M rows.
qint64 Database::Impl::estimatedRows() const
{
    const qint64 rows = value("SELECT stat FROM sqlite_stat1 WHERE tbl = '" + dictionaryTable() + "' LIMIT 1")
                            .split(' ')
                            .value(0)
                            .toLongLong();
    return std::clamp<qint64>(rows, 0, qint64(1) << 22);
}

// A sort key near the middle of the listing order: the median of the keys of rows
// sampled at evenly spaced row ids. nullopt when there are too few rows to split.
std::optional<QByteArray> Database::Impl::middleSortKey(const QString& sortColumn) const
{
    constexpr int Samples = 31;
    const qint64 first = value("SELECT min(rowid) FROM " + dictionaryTable()).toLongLong();
    const qint64 last = value("SELECT max(rowid) FROM " + dictionaryTable()).toLongLong();
    if (last - first < 4 * Samples)
        return std::nullopt;
    // By row id, never through an index: one short look-up each.
    const QByteArray sample =
        "SELECT " + sortColumn.toLatin1() + " FROM " + dictionaryTable() + " NOT INDEXED WHERE rowid >= ?1 LIMIT 1";
    std::vector<QByteArray> keys;
    for (int i = 0; i < Samples; ++i) {
        const QByteArray sampled = value(sample, first + (last - first) * i / Samples);
        if (!sampled.isNull())
            keys.push_back(sampled);
    }
    if (keys.empty())
        return std::nullopt;
    std::nth_element(keys.begin(), keys.begin() + std::ptrdiff_t(keys.size() / 2), keys.end());
    return keys[keys.size() / 2];
}

QByteArray Database::Impl::value(const QByteArray& sql, qint64 parameter) const
{
    holdCurrentRead();
    PreparedStatement statement(*connection, sql);
    if (!statement.isValid())
        return {};
    statement.bindInt64(1, parameter);
    if (statement.step() != PreparedStatement::Step::Row || statement.columnType(0) == PreparedStatement::Type::Null)
        return {};
    return statement.columnBlob(0).toByteArray();
}

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
    const std::optional<FileIdentity> identity = FileIdentity::of(path);
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
        // Every page is whole in a file of either size; the engine would read a cut one as a page.
        if (identity && identity->size % pageSize != 0) {
            failure = QStringLiteral("the file ends inside a page");
            continue;
        }
        impl = Impl::open(path, key, salt, pageSize, &failure);
        if (impl)
            break;
    }
    if (!impl)
        return fail(failure);
    // Unchanged from before opening to after the first read: what the connection reads
    // is that state of the file, and so are the listings of other connections to it.
    if (identity && identity == FileIdentity::of(path))
        impl->scanCache = ScanCache::forFile(*identity);
    return std::shared_ptr<Database>(new Database(std::move(impl)));
}

std::shared_ptr<Database> Database::fromImage(const QByteArray& image, QString* error)
{
    auto impl = std::make_unique<Impl>();
    QString failure;
    impl->connection = Connection::fromImage(image, &failure);
    if (!impl->connection || !impl->firstRead(&failure)) {
        if (error)
            *error = failure;
        return nullptr;
    }
    return std::shared_ptr<Database>(new Database(std::move(impl)));
}

Database::Database(std::unique_ptr<Impl> impl) : d(std::move(impl)) {}

Database::~Database() = default;

RecordSet Database::exec(const Statement& statement)
{
    std::unique_ptr<RowSource> rows;
    if (const std::optional<ScanPlan> plan = ScanPlan::of(statement, d->dictionaryKeys))
        rows = d->scan(*plan);
    QString failure;
    if (!rows)
        rows = d->prepare(statement, &failure);
    if (!rows)
        return RecordSet(failure);
    return RecordSet(shared_from_this(), std::move(rows));
}

bool Database::hasDictionaryKeys() const
{
    return d->dictionaryKeys;
}

QString Database::path() const
{
    return d->path;
}

MeaningHits Database::searchMeanings(const meaning::Query& query, qsizetype limit)
{
    d->holdCurrentRead();
    const std::optional<MeaningHits> hits = d->meaningIndex ? meaning::searchIndex(*d->connection, query, limit)
                                                            : meaning::searchWithoutIndex(*d->connection, query, limit);
    return hits.value_or(MeaningHits());
}

bool Database::hasMeaningIndex() const
{
    return d->meaningIndex;
}

} // namespace orvane::core::data
