#include "Measure.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cmath>

namespace {
QString number(double value)
{
    return QString::number(value, 'f', value >= 100 ? 1 : 3);
}
} // namespace

double median(std::vector<double> samples)
{
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    const size_t middle = samples.size() / 2;
    return samples.size() % 2 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
}

double percentile95(std::vector<double> samples)
{
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    const auto rank = static_cast<size_t>(std::ceil(0.95 * double(samples.size())));
    return samples[std::max<size_t>(rank, 1) - 1];
}

std::vector<double> timeRuns(int repeats, const std::function<void()> &work, int warmup)
{
    for (int i = 0; i < warmup; ++i)
        work();
    std::vector<double> samples;
    samples.reserve(size_t(repeats));
    QElapsedTimer timer;
    for (int i = 0; i < repeats; ++i) {
        timer.start();
        work();
        samples.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return samples;
}

CaseResult compare(const QString &name, const std::vector<double> &ours, const std::vector<double> &raw)
{
    CaseResult result = alone(name, ours);
    const double rawMedian = median(raw);
    if (rawMedian > 0)
        result.ratio = result.medianMs / rawMedian;
    return result;
}

CaseResult alone(const QString &name, const std::vector<double> &ours)
{
    CaseResult result;
    result.name = name;
    result.medianMs = median(ours);
    result.p95Ms = percentile95(ours);
    return result;
}

QString resultLine(const CaseResult &result)
{
    QString line = QStringLiteral("bench %1 median_ms=%2 p95_ms=%3")
                       .arg(result.name, number(result.medianMs), number(result.p95Ms));
    if (result.ratio)
        line += QStringLiteral(" ratio=") + QString::number(*result.ratio, 'f', 2);
    if (result.perSecond)
        line += QStringLiteral(" per_s=") + QString::number(*result.perSecond, 'f', 0);
    if (result.roundTrips)
        line += QStringLiteral(" round_trips=") + QString::number(*result.roundTrips, 'f', 1);
    return line;
}

QString resultTable(const std::vector<CaseResult> &results)
{
    const QStringList header { QStringLiteral("case"), QStringLiteral("median ms"), QStringLiteral("p95 ms"),
        QStringLiteral("ratio"), QStringLiteral("per s"), QStringLiteral("round trips"), QStringLiteral("note") };
    std::vector<QStringList> rows { header };
    for (const CaseResult &r : results) {
        rows.push_back({ r.name, number(r.medianMs), number(r.p95Ms),
            r.ratio ? QString::number(*r.ratio, 'f', 2) : QStringLiteral("-"),
            r.perSecond ? QString::number(*r.perSecond, 'f', 0) : QStringLiteral("-"),
            r.roundTrips ? QString::number(*r.roundTrips, 'f', 1) : QStringLiteral("-"), r.note });
    }
    std::vector<qsizetype> widths(header.size(), 0);
    for (const QStringList &row : rows)
        for (qsizetype i = 0; i < row.size(); ++i)
            widths[size_t(i)] = std::max(widths[size_t(i)], row[i].size());
    QString table;
    for (size_t r = 0; r < rows.size(); ++r) {
        QStringList cells;
        for (qsizetype i = 0; i < rows[r].size(); ++i)
            cells << (i == 0 || i == rows[r].size() - 1 ? rows[r][i].leftJustified(widths[size_t(i)])
                                                        : rows[r][i].rightJustified(widths[size_t(i)]));
        table += cells.join(QStringLiteral("  ")).trimmed() + QLatin1Char('\n');
        if (r == 0) {
            QStringList rules;
            for (qsizetype w : widths)
                rules << QString(w, QLatin1Char('-'));
            table += rules.join(QStringLiteral("  ")) + QLatin1Char('\n');
        }
    }
    return table;
}
