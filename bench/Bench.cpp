#include "Bench.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>

namespace orvane::bench {

namespace {

std::vector<RegisteredFigures>& registry()
{
    static std::vector<RegisteredFigures> figures;
    return figures;
}

QString number(double value)
{
    return QString::number(value, 'f', value < 0.1 ? 4 : 3);
}

QString optionalNumber(const std::optional<double>& value)
{
    return value ? number(*value) : QStringLiteral("null");
}

QString jsonString(const QString& text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('"'), QStringLiteral("\\\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

} // namespace

void printFigure(const Figure& figure)
{
    std::optional<double> ratio;
    if (figure.refMedianMs && *figure.refMedianMs > 0)
        ratio = figure.medianMs / *figure.refMedianMs;
    const QString line =
        QStringLiteral("{\"op\":%1,\"entries\":%2,\"rows\":%3,\"median_ms\":%4,\"ref_median_ms\":%5,\"ratio\":%6,"
                       "\"target_ms\":%7}")
            .arg(jsonString(figure.op))
            .arg(figure.entries)
            .arg(figure.rows)
            .arg(number(figure.medianMs), optionalNumber(figure.refMedianMs),
                 ratio ? QString::number(*ratio, 'f', 2) : QStringLiteral("null"), optionalNumber(figure.targetMs));
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

double medianMs(int repetitions, const std::function<void()>& run, double budgetMs)
{
    run(); // warm-up: first-touch page faults and statement caches are not what we measure
    std::vector<double> times;
    QElapsedTimer total;
    total.start();
    for (int i = 0; i < repetitions; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
        if (times.size() >= 3 && double(total.elapsed()) > budgetMs)
            break;
    }
    std::sort(times.begin(), times.end());
    const size_t middle = times.size() / 2;
    return times.size() % 2 ? times[middle] : (times[middle - 1] + times[middle]) / 2;
}

Registration::Registration(const char* name, FigureFunction figures)
{
    registry().push_back({QString::fromUtf8(name), std::move(figures)});
}

const std::vector<RegisteredFigures>& registeredFigures()
{
    return registry();
}

} // namespace orvane::bench
