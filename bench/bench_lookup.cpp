// Figures of the look-ups from outside the window. The round trip: `orvane --lookup WORD`
// from its start until the running copy shows the entry; this process plays the running
// copy, warm (its window open, the database connected), beside a second plain start,
// the least any copy costs. And `orvane --define` as a whole process beside the sqlite3
// command line answering the same prefix question on the plain reference copy.
#include "Bench.h"

#include "app/LookupRequest.h"
#include "app/SingleInstance.h"
#include "app/WindowRegistry.h"
#include "ui/dictionary/DictionaryWindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QProcess>
#include <cstdio>
#include <fcntl.h>
#include <stdexcept>
#include <sys/file.h>
#include <unistd.h>

namespace {

using namespace orvane;
using namespace orvane::app;

QString program()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/orvane");
}

// Runs a command to its end and returns its output; throws unless it ends with `status`.
QByteArray run(const QString& command, const QStringList& arguments, int status = 0)
{
    QProcess process;
    process.start(command, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != status)
        throw std::runtime_error((command + QLatin1Char(' ') + arguments.join(QLatin1Char(' ')) +
                                  QStringLiteral(" failed: ") + QString::fromLocal8Bit(process.readAllStandardError()))
                                     .toStdString());
    return process.readAllStandardOutput();
}

// Runs the event loop until `done` holds.
void waitFor(const std::function<bool()>& done)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > 10000)
            throw std::runtime_error("a look-up never showed its entry");
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
}

// The round trip of `orvane --lookup WORD`, and beside it a second plain start (the least
// any copy costs), both timed alike while this process runs its event loop.
std::pair<double, double> roundTripMs(const bench::Context& context, SingleInstance& instance,
                                      const bench::Dataset& dataset, const QString& word)
{
    WindowRegistry registry(dataset.databasePath);
    QObject::connect(&instance, &SingleInstance::lookupRequested, &registry,
                     [&registry](const handover::Request& request) { lookUp(registry, request); });
    lookUp(registry, {word, {}}); // opens the window; its activation connects the database, then the entry shows
    auto* entry = registry.dictionary()->findChild<QPlainTextEdit*>(QStringLiteral("entryBox"));
    waitFor([&] { return !entry->toPlainText().isEmpty(); });
    const auto copyMs = [&](const QStringList& arguments, const std::function<bool(const QProcess&)>& done) {
        return bench::medianMs(context.repetitions(31), [&] {
            entry->clear();
            QProcess copy;
            copy.start(program(), arguments);
            waitFor([&] { return done(copy); });
            copy.waitForFinished(10000);
        });
    };
    const double lookupMs =
        copyMs({QStringLiteral("--lookup"), word}, [&](const QProcess&) { return !entry->toPlainText().isEmpty(); });
    const double secondStartMs = copyMs({}, [](const QProcess& copy) { return copy.state() == QProcess::NotRunning; });
    return {lookupMs, secondStartMs};
}

} // namespace

ORVANE_BENCH_FIGURES(lookupFigures)
{
    const QString word = QStringLiteral("ψυχή");
    const QString prefix = QStringLiteral("psy");
    // The channel's name is this user's, shared with the end-to-end tests of every build
    // tree: take their turn while this process holds it.
    const int turn = ::open(QDir::temp().filePath(QStringLiteral("orvane-e2e-%1.lock").arg(getuid())).toLocal8Bit(),
                            O_CREAT | O_WRONLY | O_CLOEXEC, 0600);
    flock(turn, LOCK_EX);
    SingleInstance instance;
    const bool listening = instance.listen();
    if (!listening)
        std::fprintf(stderr, "orvane-bench: a copy of Orvane runs for this user; no look-up round trip\n");

    for (const bench::Dataset& dataset : context.datasets) {
        const bool bundled = dataset.name == QLatin1String("bundled");
        if (listening) {
            const auto [ms, secondStartMs] = roundTripMs(context, instance, dataset, word);
            bench::printFigure({QStringLiteral("lookup_round_trip"), dataset.entries, 1, ms, secondStartMs,
                                bundled ? std::optional<double>(100.0) : std::nullopt});
        }

        qint64 entries = 0;
        const QStringList define{QStringLiteral("--define"), prefix, QStringLiteral("--database"),
                                 dataset.databasePath};
        const double defineMs = bench::medianMs(
            context.repetitions(31), [&] { entries = run(program(), define).count("\n------------------------\n"); });
        const QString sql = QStringLiteral("SELECT m1, meanings FROM tbl_dictionary WHERE k3 >= '%1' AND k3 < '%2' "
                                           "ORDER BY s2, id LIMIT 20;")
                                .arg(prefix, prefix.chopped(1) + QChar(prefix.back().unicode() + 1));
        const double sqliteMs = bench::medianMs(context.repetitions(31), [&] {
            run(QStringLiteral("sqlite3"), {QStringLiteral("-readonly"), dataset.referencePath, sql});
        });
        bench::printFigure({QStringLiteral("define_process"), dataset.entries, entries, defineMs, sqliteMs,
                            bundled ? std::optional<double>(50.0) : std::nullopt});
    }
    ::close(turn);
}
