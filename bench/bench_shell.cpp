// Figure of the program shell. The start-to-tray-icon time of the real program needs a
// display with a tray host and is reported by the end-to-end tests; here is the bulk of
// it that needs neither: starting a copy of the program up to the single-instance
// decision (a second copy, which leaves right there, just before it would add its icon).
#include "Bench.h"

#include "app/SingleInstance.h"

#include <QCoreApplication>
#include <QLocalSocket>
#include <QProcess>
#include <QThread>

#include <stdexcept>

namespace {

using namespace orvane;
using namespace orvane::app;

bool programCopyRuns()
{
    QLocalSocket probe;
    probe.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
    probe.connectToServer(handover::serverName());
    return probe.waitForConnected(100);
}

} // namespace

ORVANE_BENCH_FIGURES(shellFigures)
{
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/orvane");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));

    // A copy that holds the name, so that every measured copy is a second one.
    QProcess first;
    if (!programCopyRuns()) {
        first.setProcessEnvironment(environment);
        first.start(program, {});
        if (!first.waitForStarted(5000))
            throw std::runtime_error("cannot start " + program.toStdString());
        for (int wait = 0; wait < 100 && !programCopyRuns(); ++wait)
            QThread::msleep(50);
    }
    const double secondCopyMs = bench::medianMs(context.repetitions(21), [&] {
        QProcess copy;
        copy.setProcessEnvironment(environment);
        copy.start(program, {});
        if (!copy.waitForFinished(5000) || copy.exitCode() != 0)
            throw std::runtime_error("a second copy of the program did not end by itself");
    });
    first.kill();
    first.waitForFinished(5000);
    bench::printFigure({QStringLiteral("shell_second_copy_start_to_exit"), 0, 0, secondCopyMs, std::nullopt, 300.0});
}
