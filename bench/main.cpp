// orvane-bench: prints one JSON line per figure (see Bench.h).
#include "Bench.h"
#include "BenchData.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <cstdio>
#include <exception>

int main(int argc, char* argv[])
{
    // Widget figures need an application object; no window is ever shown.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Measures Orvane's operations on the bundled dictionary and on a million-entry one, each beside the same "
        "question put to plain SQLite. Prints one JSON line per figure."));
    parser.addHelpOption();
    const QCommandLineOption quick(QStringLiteral("quick"),
                                   QStringLiteral("Only the bundled dictionary, few runs: shows that every figure "
                                                  "can be taken, in seconds."));
    const QCommandLineOption dataDir(QStringLiteral("data-dir"),
                                     QStringLiteral("Where the million-entry dictionary and the reference copies are "
                                                    "cached (default: %1).")
                                         .arg(QStringLiteral(ORVANE_BENCH_DATA_DIR)),
                                     QStringLiteral("folder"), QStringLiteral(ORVANE_BENCH_DATA_DIR));
    const QCommandLineOption database(
        QStringLiteral("database"),
        QStringLiteral("The bundled dictionary (default: %1).").arg(QStringLiteral(ORVANE_BUNDLED_DATABASE)),
        QStringLiteral("file"), QStringLiteral(ORVANE_BUNDLED_DATABASE));
    const QCommandLineOption only(QStringLiteral("only"), QStringLiteral("Run only the named group of figures."),
                                  QStringLiteral("name"));
    parser.addOptions({quick, dataDir, database, only});
    parser.process(app);

    try {
        orvane::bench::Context context;
        context.quick = parser.isSet(quick);
        const QString cache = QDir(parser.value(dataDir)).absolutePath();
        context.datasets.push_back(orvane::bench::BenchData::bundled(parser.value(database), cache));
        if (!context.quick)
            context.datasets.push_back(orvane::bench::BenchData::million(context.datasets.front(), cache));

        for (const auto& group : orvane::bench::registeredFigures()) {
            if (!parser.isSet(only) || parser.value(only) == group.name)
                group.figures(context);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "orvane-bench: %s\n", error.what());
        return 1;
    }
    return 0;
}
