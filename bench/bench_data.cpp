// Figures of the data layer: the searches, the listing, one entry, one key, activation.
// Each core figure is a statement through Database::exec, walked to its last
// row reading the listed column and the id, beside the same question asked of plain
// SQLite on the unencrypted copy.
#include "Bench.h"
#include "Reference.h"

#include "core/data/Database.h"
#include "core/data/Schema.h"
#include "core/dictionary/DictionarySession.h"

#include <cstdio>
#include <stdexcept>

namespace {

using namespace orvane;
using bench::Dataset;
using bench::Figure;

constexpr qint64 Million = 1000000;

core::data::DatabaseHandle openCore(const Dataset& dataset)
{
    QString error;
    core::data::DatabaseHandle database =
        core::data::Database::open(dataset.databasePath, QString::fromLatin1(core::data::DatabasePassword), &error);
    if (!database)
        throw std::runtime_error("cannot open " + dataset.databasePath.toStdString() + ": " + error.toStdString());
    return database;
}

// Walks a statement to its end, reading `column` and the id of every row.
qint64 walk(core::data::Database& database, core::data::Statement statement, const QString& column)
{
    statement.columns = {QStringLiteral("id"), column};
    core::data::RecordSet rows = database.exec(statement);
    qint64 count = 0;
    qint64 idSum = 0;
    while (rows.next()) {
        const std::optional<QString> value = rows.value(column);
        idSum += rows.valueInt64(QStringLiteral("id")) + (value ? value->size() : 0);
        ++count;
    }
    if (!rows.errorString().isEmpty())
        throw std::runtime_error("core query failed: " + rows.errorString().toStdString());
    static volatile qint64 sink = 0;
    sink = sink + idSum;
    return count;
}

void warnIfRowsDiffer(const QString& op, qint64 core, qint64 reference)
{
    if (core != reference)
        std::fprintf(stderr, "orvane-bench: %s: the core returned %lld rows, the reference %lld\n",
                     op.toUtf8().constData(), static_cast<long long>(core), static_cast<long long>(reference));
}

// A search figure: a core statement beside a reference SQL with bound texts.
void searchFigure(const bench::Context& context, const Dataset& dataset, core::data::Database& core,
                  const bench::Reference& reference, const QString& op, const core::data::Statement& statement,
                  const QString& column, const char* sql, const std::vector<QByteArray>& texts,
                  std::optional<double> target, int repetitions)
{
    qint64 coreRows = 0, referenceRows = 0;
    const double coreMs =
        bench::medianMs(context.repetitions(repetitions), [&] { coreRows = walk(core, statement, column); });
    const double referenceMs =
        bench::medianMs(context.repetitions(repetitions), [&] { referenceRows = reference.rows(sql, texts); });
    warnIfRowsDiffer(op, coreRows, referenceRows);
    bench::printFigure({op, dataset.entries, coreRows, coreMs, referenceMs, target});
}

// The headword whose beginnings are searched for: a real word with at least 10
// characters in all three forms, the same in every dataset.
struct Probe
{
    QString m1, m2, m3;
};

Probe findProbe(core::data::Database& database)
{
    core::data::Statement statement = core::data::Statement::dictionaryByTranslit(QStringLiteral("psycholog"));
    statement.columns = {QStringLiteral("m1"), QStringLiteral("m2"), QStringLiteral("m3")};
    for (core::data::RecordSet rows = database.exec(statement); rows.next();) {
        Probe probe{rows.value(QStringLiteral("m1")).value_or(QString()),
                    rows.value(QStringLiteral("m2")).value_or(QString()),
                    rows.value(QStringLiteral("m3")).value_or(QString())};
        if (probe.m1.size() >= 10 && probe.m2.size() >= 10 && probe.m3.size() >= 10)
            return probe;
    }
    throw std::runtime_error("no headword beginning with psycholog in the bundled dictionary");
}

struct SearchedColumn
{
    const char* name; // m1, m2, m3
    core::data::Statement (*statement)(const QString&);
    const char* listed;
    const char* sql;
};

const SearchedColumn SearchedColumns[] = {
    {"m1", &core::data::Statement::dictionaryByScript, "m1",
     "SELECT id, m1 FROM tbl_dictionary WHERE k1 >= ?1 AND k1 < ?2 ORDER BY s1, id"},
    {"m2", &core::data::Statement::dictionaryByTranslit, "m2",
     "SELECT id, m2 FROM tbl_dictionary WHERE k2 >= ?1 AND k2 < ?2 ORDER BY s2, id"},
    {"m3", &core::data::Statement::dictionaryByPlain, "m2",
     "SELECT id, m2 FROM tbl_dictionary WHERE k3 >= ?1 AND k3 < ?2 ORDER BY s2, id"},
};

// Patterns that start with a wildcard, typed into the native-script box (the search adds
// the trailing "*"). The reference is plain SQLite's own scan for the same rows in the same
// order: GLOB on the folded key column, walking the covering index in sort order.
struct WildcardStart
{
    const char16_t* typed;
    const char* glob;
};

const WildcardStart WildcardStarts[] = {
    {u"*ική", "*ική*"},  // many hits
    {u"*λογ", "*λογ*"},  // many hits
    {u"*ξζξ", "*ξζξ*"},  // none
    {u"[!α]*", "[^α]*"}, // a class at the start: nearly every row
};

const char* const WildcardReferenceSql = "SELECT id, m1 FROM tbl_dictionary WHERE k1 GLOB ?1 ORDER BY s1, id";

// The first search of a process that must look at every row also reads the listing it
// keeps; measured on a connection opened for it, with no other connection to the file.
void firstScanFigure(const bench::Context& context, const Dataset& dataset)
{
    const WildcardStart& first = WildcardStarts[0];
    const QString typed = QString::fromUtf16(first.typed);
    const int repetitions = context.repetitions(dataset.entries >= Million ? 5 : 21);
    qint64 rows = 0;
    const double ms = bench::medianMs(repetitions, [&] {
        const core::data::DatabaseHandle fresh = openCore(dataset);
        rows = walk(*fresh, core::data::Statement::dictionaryByScript(typed), QStringLiteral("m1"));
    });
    const double referenceMs = bench::medianMs(repetitions, [&] {
        const bench::Reference reopened(dataset.referencePath);
        reopened.rows(WildcardReferenceSql, {QByteArray(first.glob)});
    });
    bench::printFigure({QStringLiteral("first_scan_open_") + typed, dataset.entries, rows, ms, referenceMs, {}});
}

} // namespace

ORVANE_BENCH_FIGURES(dataLayerFigures)
{
    std::optional<Probe> probe;
    for (const Dataset& dataset : context.datasets) {
        firstScanFigure(context, dataset);
        const core::data::DatabaseHandle core = openCore(dataset);
        const bench::Reference reference(dataset.referencePath);
        const bool million = dataset.entries >= Million;
        if (!probe)
            probe = findProbe(*core);

        for (const SearchedColumn& searched : SearchedColumns) {
            const QString& word = searched.name == QLatin1String("m1")   ? probe->m1
                                  : searched.name == QLatin1String("m2") ? probe->m2
                                                                         : probe->m3;
            for (const int length : {1, 3, 10}) {
                const QString prefix = word.left(length);
                const QByteArray key = core::data::schema::searchKey(prefix).toUtf8();
                const std::optional<double> target = million && length == 3 ? std::optional<double>(2.0) : std::nullopt;
                searchFigure(context, dataset, *core, reference,
                             QStringLiteral("prefix_%1_%2").arg(QLatin1String(searched.name)).arg(length),
                             searched.statement(prefix), QLatin1String(searched.listed), searched.sql,
                             {key, bench::Reference::rangeEnd(key)}, target, length == 1 ? 21 : 101);
            }
        }

        searchFigure(
            context, dataset, *core, reference, QStringLiteral("pattern_ps?ch"),
            core::data::Statement::dictionaryByTranslit(QStringLiteral("ps?ch")), QStringLiteral("m2"),
            "SELECT id, m2 FROM tbl_dictionary WHERE k2 >= 'ps' AND k2 < 'pt' AND k2 GLOB 'ps?ch*' ORDER BY s2, id", {},
            million ? std::optional<double>(5.0) : std::nullopt, 51);
        for (const WildcardStart& pattern : WildcardStarts) {
            const QString typed = QString::fromUtf16(pattern.typed);
            searchFigure(context, dataset, *core, reference, QStringLiteral("pattern_") + typed,
                         core::data::Statement::dictionaryByScript(typed), QStringLiteral("m1"), WildcardReferenceSql,
                         {QByteArray(pattern.glob)}, million ? std::optional<double>(150.0) : std::nullopt, 7);
        }
        searchFigure(context, dataset, *core, reference, QStringLiteral("list_all"),
                     core::data::Statement::dictionaryByScript(QString()), QStringLiteral("m1"),
                     "SELECT id, m1 FROM tbl_dictionary WHERE m1 IS NOT NULL ORDER BY s1, id", {},
                     million ? 600.0 : 40.0, 7);

        // One entry by id, as composing it reads it: spread over the whole table.
        {
            qint64 next = 0;
            auto nextId = [&] { return (next = (next * 7919 + 104729) % dataset.entries) + 1; };
            qint64 coreRows = 0;
            const double coreMs = bench::medianMs(context.repetitions(1001), [&] {
                core::data::Statement statement = core::data::Statement::dictionaryById(nextId());
                statement.columns = {QStringLiteral("m1"), QStringLiteral("m2"), QStringLiteral("meanings")};
                core::data::RecordSet rows = core->exec(statement);
                coreRows = 0;
                if (rows.next()) {
                    const QString text = rows.value(QStringLiteral("m1")).value_or(QString()) +
                                         rows.value(QStringLiteral("meanings")).value_or(QString());
                    coreRows = text.isEmpty() ? 0 : 1;
                }
            });
            next = 0;
            const double referenceMs = bench::medianMs(context.repetitions(1001), [&] {
                reference.rows("SELECT m1, m2, meanings FROM tbl_dictionary WHERE id = ?1",
                               {QByteArray::number(nextId())});
            });
            bench::printFigure({QStringLiteral("entry_by_id"), dataset.entries, coreRows, coreMs, referenceMs, 0.1});
        }

        // One keystroke's look-up in the transliteration box.
        {
            qint64 coreRows = 0;
            const double coreMs = bench::medianMs(context.repetitions(1001), [&] {
                core::data::RecordSet rows = core->exec(core::data::Statement::keyboardByInput(QStringLiteral("e-")));
                for (coreRows = 0; rows.next();)
                    coreRows += rows.value(QStringLiteral("display")) ? 1 : 0;
            });
            const double referenceMs = bench::medianMs(context.repetitions(1001), [&] {
                reference.rows("SELECT display FROM tbl_keyboard WHERE input = ?1", {QByteArrayLiteral("e-")});
            });
            bench::printFigure({QStringLiteral("key_lookup"), dataset.entries, coreRows, coreMs, referenceMs, 0.1});
        }

        // Window activation: reconnect, then load the display settings.
        {
            core::dictionary::DictionarySession session(dataset.databasePath);
            bool connected = true;
            const double coreMs = bench::medianMs(context.repetitions(201), [&] {
                connected = session.reconnect() && connected;
                session.loadDisplaySettings();
            });
            if (!connected || session.displaySettings().configName.isEmpty())
                throw std::runtime_error("activation did not load the settings of " +
                                         dataset.databasePath.toStdString());
            const double referenceMs = bench::medianMs(context.repetitions(201), [&] {
                const bench::Reference reopened(dataset.referencePath);
                reopened.rows("SELECT * FROM tbl_config WHERE name <> ''");
            });
            bench::printFigure({QStringLiteral("activation"), dataset.entries, 1, coreMs, referenceMs, 5.0});
        }
    }
}
