// The typed statements end to end on a fixture database: value binding, the pattern
// matcher inside the engine, the key-column fast path and the record set walk.
// Input: one selector byte, then the value text (see FuzzInput.h).
#include "FuzzInput.h"
#include "core/data/Database.h"
#include "core/data/DatabaseWriter.h"
#include "core/data/PatternMatcher.h"
#include "core/data/Schema.h"

#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <vector>

using namespace orvane::core::data;
using namespace Qt::StringLiterals;

namespace {

// Headwords chosen for what they exercise: case folding (Σ/σ/ς, ß), accents,
// combining marks, quotes and SQL wildcards as plain characters, nulls and empties.
const DatabaseWriter::Entry Entries[] = {
    {1, u"μανία"_s, u"manía"_s, u"mania"_s, u"mania"_s},
    {2, u"ψυχή"_s, u"psychḗ"_s, u"psyche"_s, u"soul"_s},
    {3, u"ΣΑΣ"_s, u"SAS"_s, u"SAS"_s, u"you"_s},
    {4, u"σας"_s, u"sas"_s, u"sas"_s, u"your"_s},
    {5, u"Straße"_s, u"straße"_s, u"strasse"_s, u"street"_s},
    {6, u"o'clock"_s, u"o'clock"_s, u"oclock"_s, u"quote"_s},
    {7, u"100%_"_s, u"100%_"_s, u"100"_s, u"percent"_s},
    {8, u"e\u0301"_s, u"é"_s, u"e"_s, u"combining"_s},
    {9, std::nullopt, std::nullopt, std::nullopt, std::nullopt},
    {10, u""_s, u""_s, u""_s, u""_s},
    {11, u"[a]*?#"_s, u"[a]*?#"_s, u"a"_s, u"pattern characters"_s},
    {12, u"ψυχολογία"_s, u"psychología"_s, u"psychologia"_s, u"psychology"_s},
};

struct Fixture
{
    QTemporaryDir dir;
    DatabaseHandle withKeys, withoutKeys;
};
Fixture* fixture = nullptr;

DatabaseHandle build(const QString& path, bool withKeys)
{
    DatabaseWriter writer(path, {withKeys, {}, true});
    for (const auto& entry : Entries)
        writer.addEntry(entry);
    writer.addKey(u"a'"_s, u"á"_s);
    writer.addKey(u"A'"_s, u"Á"_s);
    writer.addKey(u"e-"_s, u"ē"_s);
    writer.addKey(u"'"_s, u"’"_s);
    writer.addKey(u""_s, u"empty"_s);
    for (int id = 1; id <= 30; ++id)
        writer.addGlyph(id, QString(QChar(0x3B0 + id)));
    writer.addConfig({u"Orvane"_s, u"DejaVu Sans"_s, {}, {}, {}, u"about"_s, 12, {}, 10, 10, 10});
    if (!writer.commit()) {
        std::fprintf(stderr, "fixture: %s\n", qPrintable(writer.error()));
        std::abort();
    }
    QString error;
    auto db = Database::open(path, QString::fromLatin1(DatabasePassword), &error);
    if (!db) {
        std::fprintf(stderr, "fixture: %s\n", qPrintable(error));
        std::abort();
    }
    return db;
}

struct Row
{
    qint64 id;
    QString order;
};

// Walks a record set reading every column the caller may ask for.
std::vector<Row> walk(RecordSet rs, const QString& orderColumn)
{
    std::vector<Row> rows;
    if (!rs.isActive())
        return rows;
    FUZZ_CHECK(!rs.isValid()); // before the first row
    while (rs.next()) {
        FUZZ_CHECK(rs.isValid());
        for (const char* column : {"id", "m1", "m2", "m3", "meanings", "input", "display", "glyph", "name", "about"})
            (void)rs.value(QString::fromLatin1(column));
        rows.push_back(
            {rs.valueInt64(u"id"_s), orderColumn.isEmpty() ? QString() : rs.value(orderColumn).value_or(QString())});
        FUZZ_CHECK(rows.size() <= 1000);
    }
    return rows;
}

std::vector<qint64> sortedIds(const std::vector<Row>& rows)
{
    std::vector<qint64> ids;
    for (const auto& row : rows)
        ids.push_back(row.id);
    std::sort(ids.begin(), ids.end());
    return ids;
}

std::optional<QString> column(const DatabaseWriter::Entry& entry, const QString& name)
{
    if (name == u"m1")
        return entry.m1;
    if (name == u"m2")
        return entry.m2;
    return entry.m3;
}

// A prefix search must give exactly the rows the matcher accepts, in collation order,
// with and without the key columns.
void checkSearch(const Statement& statement)
{
    const auto& condition = *statement.where;
    const PatternMatcher matcher(condition.value);
    std::vector<qint64> expected;
    for (const auto& entry : Entries) {
        const auto value = column(entry, condition.column);
        if (value && matcher.matches(*value))
            expected.push_back(entry.id);
    }
    const auto fast = walk(fixture->withKeys->exec(statement), statement.orderBy);
    const auto slow = walk(fixture->withoutKeys->exec(statement), statement.orderBy);
    FUZZ_CHECK(sortedIds(fast) == expected);
    FUZZ_CHECK(sortedIds(slow) == expected);
    for (const auto* rows : {&fast, &slow}) {
        for (std::size_t i = 1; i < rows->size(); ++i)
            FUZZ_CHECK(schema::sortKey((*rows)[i - 1].order) <= schema::sortKey((*rows)[i].order));
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fixture = new Fixture;
    fixture->withKeys = build(fixture->dir.filePath(u"keys.mdb"_s), true);
    fixture->withoutKeys = build(fixture->dir.filePath(u"plain.mdb"_s), false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const std::uint8_t selector = input.byte();
    const QString value = input.rest();

    switch (selector % 6) {
    case 0:
        checkSearch(Statement::dictionaryByScript(value));
        break;
    case 1:
        checkSearch(Statement::dictionaryByTranslit(value));
        break;
    case 2:
        checkSearch(Statement::dictionaryByPlain(value));
        break;
    case 3: {
        // Exact and case-sensitive: a'-> á and A' -> Á are different keys.
        const auto rows = walk(fixture->withKeys->exec(Statement::keyboardByInput(value)), {});
        const QStringList keys{u"a'"_s, u"A'"_s, u"e-"_s, u"'"_s, u""_s};
        FUZZ_CHECK(rows.size() == (keys.contains(value) ? 1u : 0u));
        break;
    }
    case 4: {
        // Any 64-bit id, the extremes included (unsigned arithmetic wraps; C++20 converts).
        quint64 bits = 0;
        for (QChar c : value)
            bits = bits * 31 + c.unicode();
        const auto id = qint64(bits);
        const auto rows = walk(fixture->withoutKeys->exec(Statement::dictionaryById(id)), {});
        FUZZ_CHECK(rows.size() == (id >= 1 && id <= 12 ? 1u : 0u));
        break;
    }
    default:
        // Hand-made statements: any column or order name must fail cleanly, never run
        // as SQL of its own.
        Statement statement;
        statement.table = (selector & 0x10) ? value : QString(DB_TABLE_DICTIONARY);
        statement.where = Statement::Condition{value, Statement::Op((selector >> 5) % 3), value};
        statement.orderBy = (selector & 0x08) ? value : QString();
        (void)walk(fixture->withKeys->exec(statement), {});
        (void)walk(fixture->withoutKeys->exec(statement), {});
        break;
    }
    return 0;
}
