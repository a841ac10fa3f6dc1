#pragma once

#include "core/data/RowSource.h"
#include "core/data/Statement.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

// Searches that no key range narrows (a pattern that starts with a wildcard, the listing
// of every entry, any search of a database without key columns) must look at every row.
// Walking the encrypted file for each of them means decrypting and authenticating every
// page of a wide index again, so the first such search of a listing reads it once into
// memory (id, listed text, folded key per row, in list order; from the listing the
// builder stored, StoredListing.h, when the file has one) and later ones match against that. The file is only read, and
// the rows are kept only while it is unchanged.
namespace orvane::core::data {

// What tells one state of a file from another without reading it.
struct FileIdentity
{
    quint64 device = 0, inode = 0;
    qint64 size = 0, modified = 0, modifiedNs = 0, changed = 0, changedNs = 0; // seconds and their nanoseconds
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
    // nullopt when the file cannot be examined.
    static std::optional<FileIdentity> of(const QString& path);
};

// The rows of one listing of tbl_dictionary in list order: the id, the listed text
// (nullable) and the searched text as the matcher compares it.
class ListedRows
{
public:
    // Room for about `rows` rows, so that the rows are not moved as they come. Room that
    // is never filled is never touched either, so it takes no memory.
    void reserve(qsizetype rows) { m_rows.reserve(std::size_t(rows)); }
    // False when a text or all of them outgrow what a listing can address (a text of a
    // million code units, texts of four thousand million).
    bool append(qint64 id, std::optional<QStringView> listed, QStringView key);
    // The longest text a listing holds, in code units.
    static constexpr qsizetype MaxUnits = qsizetype(1) << 20;
    // The same from UTF-16 code units in little-endian bytes, as a stored listing holds
    // them: the listed text is the first `listedShared` units of the last row's listed
    // text, then `listedRest`; the key is the first `keyPrefix` units of the listed text,
    // then `keyTail`.
    bool appendStored(qint64 id, std::optional<QByteArrayView> listedRest, qsizetype listedShared, qsizetype keyPrefix,
                      QByteArrayView keyTail);

    qsizetype size() const { return qsizetype(m_rows.size()); }
    qint64 id(qsizetype row) const { return m_rows[std::size_t(row)].id; }
    std::optional<QStringView> listed(qsizetype row) const;
    QStringView key(qsizetype row) const { return view(m_rows[std::size_t(row)].key); }

private:
    // Texts lie back to back in chunks that are filled but never reallocated: a million
    // rows must cost neither a million allocations nor copies of all texts as they grow.
    // A chunk's units are left uninitialised until filled, so the last one's empty room
    // takes no memory.
    static constexpr qsizetype ChunkUnits = MaxUnits;
    static constexpr quint32 Null = ~quint32(0); // as a begin; no text begins there
    // Where a text lies: its first code unit counted over all chunks as if each were full.
    struct Slice
    {
        quint32 begin = 0, length = 0;
    };
    struct Row
    {
        qint64 id;
        Slice listed, key;
    };
    std::optional<Slice> store(QStringView text);
    // Appends units to the last chunk, which has room for them: copies of stored ones
    // (any earlier slice), then little-endian UTF-16 bytes.
    void appendUnits(Slice units, QByteArrayView bytes);
    // Makes room for `units` more code units in the last chunk; false when none can be had.
    bool makeRoom(qsizetype units);
    struct Chunk
    {
        std::unique_ptr<char16_t[]> units; // room for ChunkUnits
        qsizetype size = 0;
    };
    // Where the next unit appended to the last chunk lies.
    quint32 end() const { return quint32((m_chunks.size() - 1) * ChunkUnits + m_chunks.back().size); }
    QStringView view(Slice slice) const
    {
        return {m_chunks[slice.begin / ChunkUnits].units.get() + slice.begin % ChunkUnits, slice.length};
    }

    std::vector<Chunk> m_chunks;
    std::vector<Row> m_rows;
};

// A whole listing, read in pieces side by side (one per core): the rows of the pieces in order.
using Listing = std::vector<ListedRows>;

// A search of tbl_dictionary that looks at every row of one listing.
struct ScanPlan
{
    QString searched;    // m1, m2 or m3
    QString listed;      // the order column (m1 or m2), whose texts the listing holds
    QString pattern;     // as the statement gives it
    QStringList columns; // the result columns, each id or `listed`

    // nullopt when the statement is no such search, or when the key columns give it a
    // range (a pattern with a literal start), which reads far fewer rows.
    static std::optional<ScanPlan> of(const Statement& statement, bool dictionaryKeys);
    // The column that holds the rows' keys: the key column, or without keys the searched
    // text itself, to be folded.
    QString keySource(bool dictionaryKeys) const;
    // The statement that lists every row the search could find: id, the listed column,
    // and the key source unless it is the listed column.
    Statement listing(bool dictionaryKeys) const;
};

// Appends the rows of plan.listing(), or of a part of it, to `listing`; false when they
// could not all be read.
bool readListing(RowSource& rows, const ScanPlan& plan, bool dictionaryKeys, ListedRows& listing);
// The rows of `listing` that match the plan's pattern: the records its statement gives.
std::unique_ptr<RowSource> matchingRows(std::shared_ptr<const Listing> listing, const ScanPlan& plan);

// The listings read from one file, shared by every connection to the file as long as one
// of them is open.
class ScanCache
{
public:
    static std::shared_ptr<ScanCache> forFile(const FileIdentity& identity);

    explicit ScanCache(const FileIdentity& identity) : m_identity(identity) {}
    const FileIdentity& identity() const { return m_identity; }

    // The listing of `plan`, made by `read` on first use; a failed read (nullptr) is not
    // kept. Only the `kept` listings used last are held: a listing takes tens of megabytes
    // at a million entries, so those that can be read again quickly are not all held.
    std::shared_ptr<const Listing>
    listing(const ScanPlan& plan, const std::function<std::shared_ptr<const Listing>()>& read, std::size_t kept);

private:
    using Shape = std::pair<QString, QString>; // searched, listed
    const FileIdentity m_identity;
    std::mutex m_lock;
    std::vector<std::pair<Shape, std::shared_ptr<const Listing>>> m_listings; // the one used last at the back
};

} // namespace orvane::core::data
