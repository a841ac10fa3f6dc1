#include "core/data/StoredListing.h"

#include "core/data/Connection.h"
#include "core/data/PreparedStatement.h"

namespace orvane::core::data::listing {
namespace {

const char* const Parts = "SELECT parts FROM tbl_listing_v2 WHERE searched = ?1 AND listed = ?2 AND part = 0";
// In the order the rows were written, which is part order: no sort copies the blobs.
const char* const PartRows =
    "SELECT part, parts, rows FROM tbl_listing_v2 WHERE searched = ?1 AND listed = ?2 AND part >= ?3 AND part < ?4";

void bindPlan(PreparedStatement& statement, const ScanPlan& plan)
{
    statement.bindText(1, plan.searched.toUtf8());
    statement.bindText(2, plan.listed.toUtf8());
}

// Reads a part's rows one value at a time; every read checks the bounds.
class PartReader
{
public:
    explicit PartReader(QByteArrayView bytes) : m_bytes(bytes) {}
    bool atEnd() const { return m_at == m_bytes.size(); }

    std::optional<quint64> varint()
    {
        quint64 value = 0;
        for (int shift = 0; shift < 64 && m_at < m_bytes.size(); shift += 7) {
            const auto byte = quint8(m_bytes[m_at++]);
            value |= quint64(byte & 0x7F) << shift;
            if (!(byte & 0x80))
                return value;
        }
        return std::nullopt;
    }

    // The next `units` UTF-16 code units; nullopt when they run past the end.
    std::optional<QByteArrayView> units(std::optional<quint64> units)
    {
        if (!units || *units > quint64(m_bytes.size() - m_at) / 2)
            return std::nullopt;
        const QByteArrayView bytes = m_bytes.sliced(m_at, qsizetype(*units) * 2);
        m_at += bytes.size();
        return bytes;
    }

private:
    QByteArrayView m_bytes;
    qsizetype m_at = 0;
};

} // namespace

const char* const StoredDefinition =
    "CREATE TABLE tbl_listing_v2 (searched TEXT, listed TEXT, part INTEGER, parts INTEGER, rows BLOB)";

bool hasStored(Connection& connection)
{
    return PreparedStatement(connection, Parts).isValid() && PreparedStatement(connection, PartRows).isValid();
}

std::optional<int> storedParts(Connection& connection, const ScanPlan& plan)
{
    PreparedStatement parts(connection, Parts);
    if (!parts.isValid())
        return std::nullopt;
    bindPlan(parts, plan);
    if (parts.step() != PreparedStatement::Step::Row)
        return std::nullopt;
    const qint64 count = parts.columnInt64(0);
    return count > 0 && count < (1 << 20) ? std::optional(int(count)) : std::nullopt;
}

bool readStored(Connection& connection, const ScanPlan& plan, int from, int to, ListedRows& rows)
{
    PreparedStatement parts(connection, PartRows);
    if (!parts.isValid())
        return false;
    bindPlan(parts, plan);
    parts.bindInt64(3, from);
    parts.bindInt64(4, to);
    int expected = from;
    PreparedStatement::Step stepped;
    while ((stepped = parts.step()) == PreparedStatement::Step::Row) {
        // Each part once, in order, all of one listing: else rows would be lost or repeated.
        if (parts.columnInt64(0) != expected++ || parts.columnInt64(1) < to)
            return false;
        PartReader reader(parts.columnBlob(2));
        quint64 id = 0;                           // wraps as the writer's differences do
        const qsizetype partBegins = rows.size(); // a part's first row shares nothing
        while (!reader.atEnd()) {
            const std::optional<quint64> zigzag = reader.varint(), listedTag = reader.varint();
            if (!zigzag || !listedTag)
                return false;
            id += (*zigzag >> 1) ^ (0 - (*zigzag & 1));
            std::optional<quint64> shared;
            std::optional<QByteArrayView> listedRest;
            if (*listedTag > 0 && (!(shared = reader.varint()) || !(listedRest = reader.units(*listedTag - 1))))
                return false;
            const std::optional<quint64> keyPrefix = reader.varint();
            const std::optional<QByteArrayView> keyTail = reader.units(reader.varint());
            constexpr auto MaxUnits = quint64(ListedRows::MaxUnits);
            if (!keyPrefix || !keyTail || *keyPrefix > MaxUnits || shared.value_or(0) > MaxUnits ||
                (rows.size() == partBegins && shared.value_or(0) > 0) ||
                !rows.appendStored(qint64(id), listedRest, qsizetype(shared.value_or(0)), qsizetype(*keyPrefix),
                                   *keyTail))
                return false;
        }
    }
    return stepped == PreparedStatement::Step::Done && expected == to;
}

} // namespace orvane::core::data::listing
