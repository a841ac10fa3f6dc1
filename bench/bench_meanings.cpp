// Figures of the search in the meanings: one word, two words, a phrase and a prefix, each as
// the "Search in meanings" window runs it (the best 1,000 hits with their entry ids and the
// total), beside the same full-text query in plain SQLite on the unencrypted copy, walked to
// its last row in the same order.
#include "Bench.h"
#include "Reference.h"

#include "core/data/MeaningIndex.h"
#include "core/dictionary/DictionarySession.h"
#include "core/dictionary/EntryComposer.h"
#include "core/dictionary/MeaningSearch.h"

#include <stdexcept>

namespace {

using namespace orvane;

constexpr qint64 Million = 1000000;

// Words of the bundled meanings with a few thousand hits among a million entries.
struct Probe
{
    const char* op;
    const char16_t* typed;
    double targetMs;
};
const Probe Probes[] = {
    {"meanings_one_word", u"self", 20},
    {"meanings_two_words", u"out of", 30},
    {"meanings_phrase", u"\"one's\"", 50},
    {"meanings_prefix", u"over*", 50},
};

// The bundled dictionary's promise: a writer who needs the word for "soul" finds ψυχή.
void checkSoulFindsPsyche(const core::data::DatabaseHandle& database)
{
    for (const qint64 id : core::dictionary::searchMeanings(database, u"soul").hits.ids) {
        if (core::dictionary::composeEntry(database, id, core::dictionary::SearchMode::Latin).startsWith(u"ψυχή\r\n"))
            return;
    }
    throw std::runtime_error("searching the meanings for \"soul\" does not list ψυχή");
}

} // namespace

ORVANE_BENCH_FIGURES(meaningFigures)
{
    for (const bench::Dataset& dataset : context.datasets) {
        core::dictionary::DictionarySession session(dataset.databasePath);
        if (!session.reconnect() || !session.database()->hasMeaningIndex())
            throw std::runtime_error("no meaning index in " + dataset.databasePath.toStdString());
        if (dataset.name == u"bundled")
            checkSoulFindsPsyche(session.database());
        const bench::Reference reference(dataset.referencePath);
        const bool million = dataset.entries >= Million;
        const QByteArray ranked = QByteArray("SELECT rowid FROM ") + core::data::meaning::IndexTable + " WHERE " +
                                  core::data::meaning::IndexTable + " MATCH ?1 ORDER BY bm25(" + core::data::meaning::IndexTable +
                                  "), rowid";
        for (const Probe& probe : Probes) {
            const QString typed = QString::fromUtf16(probe.typed);
            const QByteArray expression =
                core::data::meaning::matchExpression(core::dictionary::parseMeaningQuery(typed));
            qint64 hits = 0, referenceHits = 0;
            const double ms = bench::medianMs(context.repetitions(31), [&] {
                hits = core::dictionary::searchMeanings(session.database(), typed).hits.total;
            });
            const double referenceMs = bench::medianMs(context.repetitions(31), [&] {
                referenceHits = reference.rows(ranked.constData(), {expression});
            });
            if (hits != referenceHits)
                throw std::runtime_error(std::string(probe.op) + ": the core found " + std::to_string(hits) +
                                         " entries, the reference " + std::to_string(referenceHits));
            bench::printFigure({QString::fromLatin1(probe.op), dataset.entries, hits, ms, referenceMs,
                                million ? std::optional(probe.targetMs) : std::nullopt});
        }
    }
}
