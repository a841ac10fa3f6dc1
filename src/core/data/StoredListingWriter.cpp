#include "core/data/Connection.h"
#include "core/data/PreparedStatement.h"
#include "core/data/SqlQuery.h"
#include "core/data/StoredListing.h"
#include "core/data/UnicodeText.h"

#include <algorithm>

namespace orvane::core::data::listing {
namespace {

// Parts of about a megabyte: far below the longest blob a reader accepts, and few.
constexpr qsizetype PartBytes = qsizetype(1) << 20;

void appendVarint(QByteArray& bytes, quint64 value)
{
    for (; value >= 0x80; value >>= 7)
        bytes += char(0x80 | (value & 0x7F));
    bytes += char(value);
}

void appendUnits(QByteArray& bytes, QStringView units)
{
    for (const QChar unit : units) {
        bytes += char(unit.unicode() & 0xFF);
        bytes += char(unit.unicode() >> 8);
    }
}

// How many code units begin both texts.
qsizetype sharedUnits(QStringView first, QStringView second)
{
    return std::mismatch(first.cbegin(), first.cend(), second.cbegin(), second.cend()).first - first.cbegin();
}

} // namespace

bool writeStored(Connection& connection, QString* error)
{
    const auto fail = [&] {
        *error = connection.errorMessage();
        return false;
    };
    if (!connection.exec(StoredDefinition))
        return fail();
    PreparedStatement addPart(
        connection, "INSERT INTO tbl_listing_v2 (searched, listed, part, parts, rows) VALUES (?1, ?2, ?3, ?4, ?5)");
    if (!addPart.isValid())
        return fail();
    using Search = Statement (*)(const QString&);
    for (const Search search : {Search(Statement::dictionaryByScript), Search(Statement::dictionaryByTranslit),
                                Search(Statement::dictionaryByPlain)}) {
        // The very statement a reader without the stored listing runs: the same rows in the same order.
        const std::optional<ScanPlan> plan = ScanPlan::of(search({}), true);
        const std::optional<SqlQuery> query = plan ? SqlQuery::build(plan->listing(true), true) : std::nullopt;
        if (!query)
            return fail();
        PreparedStatement rows(connection, query->sql);
        if (!rows.isValid())
            return fail();
        query->bindValues(rows);
        std::vector<QByteArray> parts(1);
        struct
        {
            qint64 id = 0;
            QString listed;
        } before; // the row before in the part
        PreparedStatement::Step stepped;
        while ((stepped = rows.step()) == PreparedStatement::Step::Row) {
            // As a reader without the stored listing decodes them.
            const auto text = [&](int column) {
                return rows.columnType(column) == PreparedStatement::Type::Null
                           ? std::nullopt
                           : std::optional(unicode::fromUtf8(rows.columnText(column)));
            };
            const std::optional<QString> listed = text(1), key = text(2);
            if (!key)
                return fail();
            const QStringView keyText = *key;
            if (parts.back().size() >= PartBytes) {
                parts.emplace_back();
                before = {}; // each part is read on its own
            }
            QByteArray& part = parts.back();
            const qint64 id = rows.columnInt64(0);
            const auto difference = quint64(id) - quint64(before.id); // wraps, as the reader's sum does
            appendVarint(part, (difference << 1) ^ (0 - (difference >> 63)));
            const qsizetype shared = listed ? sharedUnits(before.listed, *listed) : 0;
            appendVarint(part, listed ? quint64(listed->size() - shared) + 1 : 0);
            if (listed) {
                appendVarint(part, quint64(shared));
                appendUnits(part, QStringView(*listed).sliced(shared));
            }
            const qsizetype prefix = listed ? sharedUnits(*listed, keyText) : 0;
            appendVarint(part, quint64(prefix));
            appendVarint(part, quint64(keyText.size() - prefix));
            appendUnits(part, keyText.sliced(prefix));
            before = {id, listed.value_or(QString())};
        }
        if (stepped != PreparedStatement::Step::Done)
            return fail();
        for (int part = 0; part < int(parts.size()); ++part) {
            addPart.bindText(1, plan->searched.toUtf8());
            addPart.bindText(2, plan->listed.toUtf8());
            addPart.bindInt64(3, part);
            addPart.bindInt64(4, qint64(parts.size()));
            addPart.bindBlob(5, parts[std::size_t(part)]);
            if (!addPart.exec())
                return fail();
        }
    }
    return true;
}

} // namespace orvane::core::data::listing
