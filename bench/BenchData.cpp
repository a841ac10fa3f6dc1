#include "BenchData.h"

#include "core/data/Database.h"
#include "core/data/DatabaseWriter.h"
#include "core/data/Schema.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <malloc.h>
#include <stdexcept>

namespace orvane::bench {

namespace {

using core::data::DatabaseWriter;

using Rows = DatabaseWriter::Rows;

[[noreturn]] void fail(const QString& message)
{
    throw std::runtime_error(message.toStdString());
}

std::optional<double> number(const std::optional<QString>& text)
{
    if (!text || text->isEmpty())
        return std::nullopt;
    return text->toDouble();
}

core::data::RecordSet everything(core::data::Database& database, QLatin1StringView table)
{
    core::data::Statement statement;
    statement.table = table;
    core::data::RecordSet rows = database.exec(statement);
    if (!rows.isActive())
        fail(QStringLiteral("cannot read %1: %2").arg(statement.table, rows.errorString()));
    return rows;
}

Rows readRows(const QString& path)
{
    using namespace core::data;
    QString error;
    const DatabaseHandle database = Database::open(path, QString::fromLatin1(DatabasePassword), &error);
    if (!database)
        fail(QStringLiteral("cannot open %1: %2").arg(path, error));
    Rows rows;
    for (auto set = everything(*database, DB_TABLE_DICTIONARY); set.next();)
        rows.entries.push_back({set.valueInt64(DB_COLUMN_ID), set.value(DB_COLUMN_M1), set.value(DB_COLUMN_M2),
                                set.value(DB_COLUMN_M3), set.value(DB_COLUMN_MEANINGS)});
    for (auto set = everything(*database, DB_TABLE_KEYBOARD); set.next();)
        rows.keys.emplace_back(set.value(DB_COLUMN_INPUT), set.value(DB_COLUMN_DISPLAY));
    for (auto set = everything(*database, DB_TABLE_GLYPH); set.next();)
        rows.glyphs.emplace_back(set.valueInt64(DB_COLUMN_ID), set.value(DB_COLUMN_GLYPH));
    for (auto set = everything(*database, DB_TABLE_CONFIG); set.next();) {
        auto text = [&](QLatin1StringView column) { return set.value(column); };
        rows.configs.push_back({text(DB_COLUMN_NAME), text(DB_COLUMN_FNT1), text(DB_COLUMN_FNT3), text(DB_COLUMN_FNT4),
                                text(DB_COLUMN_FNT5), text(DB_COLUMN_ABOUT), number(text(DB_COLUMN_FSZ1)),
                                number(text(DB_COLUMN_FSZ2)), number(text(DB_COLUMN_FSZ3)),
                                number(text(DB_COLUMN_FSZ4)), number(text(DB_COLUMN_FSZ5))});
    }
    return rows;
}

// Writes the rows (entries from `entries`, the small tables from `rows`).
void writeRows(const QString& path, const Rows& rows, bool encrypted)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    DatabaseWriter writer(path, {true, QString(), encrypted});
    if (!writer.addRows(rows) || !writer.commit())
        fail(QStringLiteral("cannot write %1: %2").arg(path, writer.error()));
}

bool isFresh(const QString& cached, const QString& source)
{
    const QFileInfo cache(cached);
    return cache.exists() && cache.lastModified() >= QFileInfo(source).lastModified();
}

// Preparing a dataset reads and writes every row; hand that memory back to the system
// so that figures of resident memory taken later measure the program, not the preparation.
void releasePreparationMemory()
{
    malloc_trim(0);
}

void note(const QString& message)
{
    std::fprintf(stderr, "orvane-bench: %s\n", message.toUtf8().constData());
}

} // namespace

Dataset BenchData::bundled(const QString& bundledPath, const QString& dataDir)
{
    if (!QFileInfo::exists(bundledPath))
        fail(QStringLiteral("the bundled dictionary %1 is missing; build the orvane_dictionary target")
                 .arg(bundledPath));
    Dataset dataset{QStringLiteral("bundled"), QFileInfo(bundledPath).absolutePath(), bundledPath,
                    QDir(dataDir).filePath(QStringLiteral("bundled/reference.sqlite")), 0};
    {
        const Rows rows = readRows(bundledPath);
        dataset.entries = qint64(rows.entries.size());
        if (!isFresh(dataset.referencePath, bundledPath)) {
            note(QStringLiteral("writing the unencrypted reference copy %1").arg(dataset.referencePath));
            writeRows(dataset.referencePath, rows, false);
        }
    }
    releasePreparationMemory();
    return dataset;
}

namespace {

// The bundled entries again and again, with numbered suffixes from the second round on.
std::vector<DatabaseWriter::Entry> millionEntries(const Rows& rows)
{
    if (rows.entries.empty())
        fail(QStringLiteral("the bundled dictionary has no entries"));
    std::vector<DatabaseWriter::Entry> entries;
    entries.reserve(size_t(BenchData::MillionEntries));
    auto suffixed = [](const std::optional<QString>& text, const QString& suffix) {
        return text ? std::optional<QString>(*text + suffix) : std::nullopt;
    };
    for (int round = 1; qint64(entries.size()) < BenchData::MillionEntries; ++round) {
        const QString suffix = round == 1 ? QString() : QString::number(round);
        for (const auto& entry : rows.entries) {
            if (qint64(entries.size()) == BenchData::MillionEntries)
                break;
            entries.push_back({qint64(entries.size()) + 1, suffixed(entry.m1, suffix), suffixed(entry.m2, suffix),
                               suffixed(entry.m3, suffix), entry.meanings});
        }
    }
    return entries;
}

} // namespace

Dataset BenchData::million(const Dataset& bundled, const QString& dataDir)
{
    const QString folder = QDir(dataDir).filePath(QStringLiteral("1m"));
    Dataset dataset{QStringLiteral("1m"), folder, QDir(folder).filePath(QStringLiteral("orvane.mdb")),
                    QDir(folder).filePath(QStringLiteral("reference.sqlite")), MillionEntries};
    if (isFresh(dataset.databasePath, bundled.databasePath) && isFresh(dataset.referencePath, bundled.databasePath))
        return dataset;

    note(QStringLiteral("building the %1-entry dictionary once (cached in %2)").arg(MillionEntries).arg(folder));
    {
        Rows rows = readRows(bundled.databasePath);
        rows.entries = millionEntries(rows);
        writeRows(dataset.referencePath, rows, false);
        writeRows(dataset.databasePath, rows, true);
    }
    releasePreparationMemory();
    return dataset;
}

} // namespace orvane::bench
