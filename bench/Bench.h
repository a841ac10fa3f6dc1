#pragma once

// The measuring kit of orvane-bench. A file bench/bench_<topic>.cpp adds figures with
//
//     ORVANE_BENCH_FIGURES(listFigures)
//     {
//         for (const orvane::bench::Dataset& data : context.datasets) {
//             const double ms = orvane::bench::medianMs(context.repetitions(51), [&] { /* one run */ });
//             orvane::bench::printFigure({"my_op", data.entries, rows, ms, referenceMs, targetMs});
//         }
//     }
//
// and is picked up by bench/CMakeLists.txt without further registration.

#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace orvane::bench {

// One line of output: {"op":…,"entries":…,"rows":…,"median_ms":…,"ref_median_ms":…,"ratio":…,"target_ms":…}
struct Figure
{
    QString op;
    qint64 entries = 0;
    qint64 rows = 0;
    double medianMs = 0;
    std::optional<double> refMedianMs; // the same question asked of plain SQLite
    std::optional<double> targetMs;    // the design's limit, where it has one for this size
};
void printFigure(const Figure& figure);

// A dictionary to measure on: the encrypted orvane.mdb at `databasePath` in `folder` (open
// it with Database::open or a DictionarySession) and an
// unencrypted copy of the same rows with the same indexes at `referencePath`.
struct Dataset
{
    QString name; // "bundled", "1m"
    QString folder;
    QString databasePath;
    QString referencePath;
    qint64 entries = 0;
};

struct Context
{
    bool quick = false;
    std::vector<Dataset> datasets; // the bundled dictionary first
    // Fewer runs in a quick run, which only shows that every figure can be taken.
    int repetitions(int full) const { return quick ? std::max(3, full / 10) : full; }
};

// Median wall time, in milliseconds, of `repetitions` runs of `run` after one warm-up
// run; stops early once `budgetMs` of measuring time is spent (at least 3 runs).
double medianMs(int repetitions, const std::function<void()>& run, double budgetMs = 5000);

using FigureFunction = std::function<void(const Context&)>;
struct Registration
{
    Registration(const char* name, FigureFunction figures);
};
struct RegisteredFigures
{
    QString name;
    FigureFunction figures;
};
const std::vector<RegisteredFigures>& registeredFigures();

} // namespace orvane::bench

#define ORVANE_BENCH_FIGURES(name)                                                                                     \
    static void name(const orvane::bench::Context& context);                                                           \
    static const orvane::bench::Registration name##Registration(#name, name);                                          \
    static void name([[maybe_unused]] const orvane::bench::Context& context)
