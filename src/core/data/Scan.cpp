#include "core/data/Scan.h"

#include "core/data/PatternMatcher.h"
#include "core/data/Schema.h"
#include "core/data/UnicodeText.h"

#include <QFile>
#include <QSysInfo>
#include <QtEndian>
#include <algorithm>
#include <cstring>
#include <sys/stat.h>

namespace orvane::core::data {
namespace {

class MatchingRows final : public RowSource
{
public:
    MatchingRows(std::shared_ptr<const Listing> listing, const ScanPlan& plan)
        : m_listing(std::move(listing)),
          // As on the engine's side, a lone surrogate is read as U+FFFD.
          m_matcher(unicode::withoutLoneSurrogates(plan.pattern)), m_columns(plan.columns.cbegin(), plan.columns.cend())
    {
        for (const QString& column : m_columns)
            m_isId.push_back(column == DB_COLUMN_ID);
    }

    std::vector<QString> columnNames() const override { return m_columns; }

    bool next(QString*) override
    {
        for (; m_piece < m_listing->size(); ++m_piece, m_row = -1) {
            const ListedRows& rows = (*m_listing)[m_piece];
            while (++m_row < rows.size()) {
                if (m_matcher.matchesKey(rows.key(m_row)))
                    return true;
            }
        }
        return false;
    }

    std::optional<QStringView> text(int column) override
    {
        if (!m_isId[std::size_t(column)])
            return rows().listed(m_row);
        m_idText = QString::number(rows().id(m_row));
        return QStringView(m_idText);
    }

    // Only the id is a number here.
    qint64 number(int column) const override { return m_isId[std::size_t(column)] ? rows().id(m_row) : 0; }

private:
    const ListedRows& rows() const { return (*m_listing)[m_piece]; }

    const std::shared_ptr<const Listing> m_listing;
    const PatternMatcher m_matcher;
    const std::vector<QString> m_columns;
    std::vector<bool> m_isId; // per column: the id, or else the listed text
    std::size_t m_piece = 0;
    qsizetype m_row = -1; // in the piece
    QString m_idText;
};

} // namespace

std::optional<FileIdentity> FileIdentity::of(const QString& path)
{
    struct stat status = {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return std::nullopt;
    return FileIdentity{quint64(status.st_dev),        quint64(status.st_ino),         qint64(status.st_size),
                        qint64(status.st_mtim.tv_sec), qint64(status.st_mtim.tv_nsec), qint64(status.st_ctim.tv_sec),
                        qint64(status.st_ctim.tv_nsec)};
}

bool ListedRows::append(qint64 id, std::optional<QStringView> listed, QStringView key)
{
    Row row{id, {Null, 0}, {}};
    if (listed) {
        const std::optional<Slice> stored = store(*listed);
        if (!stored)
            return false;
        row.listed = *stored;
    }
    // Most keys equal their listed text (a word in lower case): those share its units.
    if (listed && listed->size() == key.size() && std::equal(key.cbegin(), key.cend(), listed->cbegin())) {
        row.key = row.listed;
    } else {
        const std::optional<Slice> stored = store(key);
        if (!stored)
            return false;
        row.key = *stored;
    }
    m_rows.push_back(row);
    return true;
}

bool ListedRows::appendStored(qint64 id, std::optional<QByteArrayView> listedRest, qsizetype listedShared,
                              qsizetype keyPrefix, QByteArrayView keyTail)
{
    const Slice before = m_rows.empty() || m_rows.back().listed.begin == Null ? Slice() : m_rows.back().listed;
    if ((listedRest && listedRest->size() % 2) || keyTail.size() % 2 || listedShared < 0 ||
        listedShared > (listedRest ? qsizetype(before.length) : 0))
        return false;
    Row row{id, {Null, 0}, {}};
    const qsizetype listedUnits = listedRest ? listedShared + listedRest->size() / 2 : 0;
    if (listedRest) {
        if (!makeRoom(listedUnits))
            return false;
        row.listed = {end(), quint32(listedUnits)};
        appendUnits({before.begin, quint32(listedShared)}, *listedRest);
    }
    if (keyPrefix < 0 || keyPrefix > listedUnits)
        return false;
    if (listedRest && keyPrefix == listedUnits && keyTail.isEmpty()) {
        row.key = row.listed; // most keys: the listed text itself
    } else {
        const qsizetype units = keyPrefix + keyTail.size() / 2;
        if (!makeRoom(units))
            return false;
        row.key = {end(), quint32(units)};
        appendUnits({row.listed.begin, quint32(keyPrefix)}, keyTail);
    }
    m_rows.push_back(row);
    return true;
}

bool ListedRows::makeRoom(qsizetype units)
{
    if (m_chunks.empty() || m_chunks.back().size + units > ChunkUnits) {
        // The last chunk index must leave Null free.
        if (units > ChunkUnits || m_chunks.size() + 1 >= Null / ChunkUnits)
            return false;
        m_chunks.push_back({std::make_unique_for_overwrite<char16_t[]>(ChunkUnits), 0});
    }
    return true;
}

std::optional<ListedRows::Slice> ListedRows::store(QStringView text)
{
    if (!makeRoom(text.size()))
        return std::nullopt;
    const Slice slice{end(), quint32(text.size())};
    Chunk& chunk = m_chunks.back();
    std::copy_n(text.utf16(), text.size(), chunk.units.get() + chunk.size);
    chunk.size += text.size();
    return slice;
}

void ListedRows::appendUnits(Slice units, QByteArrayView bytes)
{
    Chunk& chunk = m_chunks.back();
    char16_t* at = chunk.units.get() + chunk.size;
    if (units.length > 0) // an earlier text: it ends before `at`, and chunks never move
        at = std::copy_n(view(units).utf16(), units.length, at);
    if (!bytes.isEmpty())
        std::memcpy(at, bytes.data(), std::size_t(bytes.size() / 2 * 2));
    if constexpr (QSysInfo::ByteOrder != QSysInfo::LittleEndian) {
        for (qsizetype i = 0; i < bytes.size() / 2; ++i)
            at[i] = qFromLittleEndian(at[i]);
    }
    chunk.size += units.length + bytes.size() / 2;
}

std::optional<QStringView> ListedRows::listed(qsizetype row) const
{
    const Slice& slice = m_rows[std::size_t(row)].listed;
    return slice.begin == Null ? std::nullopt : std::optional(view(slice));
}

std::optional<ScanPlan> ScanPlan::of(const Statement& statement, bool dictionaryKeys)
{
    const QString& listed = statement.orderBy;
    const bool searchesDictionary =
        statement.table == DB_TABLE_DICTIONARY && statement.where && statement.where->op == Statement::Op::Like &&
        !schema::searchKeyColumn(statement.where->column).isEmpty() && !schema::sortKeyColumn(listed).isEmpty();
    const bool readsListedOnly =
        !statement.columns.isEmpty() &&
        std::all_of(statement.columns.cbegin(), statement.columns.cend(),
                    [&](const QString& column) { return column == DB_COLUMN_ID || column == listed; });
    if (!searchesDictionary || !readsListedOnly)
        return std::nullopt;
    const QString& pattern = statement.where->value;
    if (dictionaryKeys && !PatternMatcher(unicode::withoutLoneSurrogates(pattern)).literalPrefix().isEmpty())
        return std::nullopt;
    return ScanPlan{statement.where->column, listed, pattern, statement.columns};
}

QString ScanPlan::keySource(bool dictionaryKeys) const
{
    return dictionaryKeys ? schema::searchKeyColumn(searched) : searched;
}

Statement ScanPlan::listing(bool dictionaryKeys) const
{
    QStringList listingColumns{DB_COLUMN_ID, listed};
    if (keySource(dictionaryKeys) != listed)
        listingColumns << keySource(dictionaryKeys);
    return {DB_TABLE_DICTIONARY, listingColumns,
            Statement::Condition{searched, Statement::Op::Like, QStringLiteral("*")}, listed};
}

bool readListing(RowSource& rows, const ScanPlan& plan, bool dictionaryKeys, ListedRows& listing)
{
    const bool keyIsListed = plan.keySource(dictionaryKeys) == plan.listed;
    QString failure;
    while (rows.next(&failure)) {
        const std::optional<QStringView> listed = rows.text(1);
        // The listing statement gives only rows whose key is not null.
        const QStringView key = (keyIsListed ? listed : rows.text(2)).value_or(QStringView());
        const bool kept = dictionaryKeys ? listing.append(rows.number(0), listed, key)
                                         : listing.append(rows.number(0), listed, schema::searchKey(key.toString()));
        if (!kept)
            return false;
    }
    return failure.isEmpty();
}

std::unique_ptr<RowSource> matchingRows(std::shared_ptr<const Listing> listing, const ScanPlan& plan)
{
    return std::make_unique<MatchingRows>(std::move(listing), plan);
}

std::shared_ptr<ScanCache> ScanCache::forFile(const FileIdentity& identity)
{
    // Weak: the cache of a file goes when the last connection to it closes.
    static std::mutex lock;
    static std::vector<std::weak_ptr<ScanCache>> caches;
    const std::lock_guard guard(lock);
    std::erase_if(caches, [](const std::weak_ptr<ScanCache>& cache) { return cache.expired(); });
    for (const auto& weak : caches) {
        std::shared_ptr<ScanCache> cache = weak.lock();
        if (cache && cache->identity() == identity)
            return cache;
    }
    auto cache = std::make_shared<ScanCache>(identity);
    caches.push_back(cache);
    return cache;
}

std::shared_ptr<const Listing>
ScanCache::listing(const ScanPlan& plan, const std::function<std::shared_ptr<const Listing>()>& read, std::size_t kept)
{
    const Shape shape{plan.searched, plan.listed};
    const auto of = [&](const auto& held) { return held.first == shape; };
    {
        const std::lock_guard guard(m_lock);
        if (const auto found = std::find_if(m_listings.begin(), m_listings.end(), of); found != m_listings.end()) {
            std::rotate(found, found + 1, m_listings.end()); // now the one used last
            return m_listings.back().second;
        }
    }
    // Read outside the lock: it takes long, and a second reader only wastes its own time.
    std::shared_ptr<const Listing> listing = read();
    if (listing) {
        const std::lock_guard guard(m_lock);
        if (std::find_if(m_listings.begin(), m_listings.end(), of) == m_listings.end())
            m_listings.emplace_back(shape, listing);
        while (m_listings.size() > kept)
            m_listings.erase(m_listings.begin());
    }
    return listing;
}

} // namespace orvane::core::data
