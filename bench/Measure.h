#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

// Timings of one case and the line that reports them.
struct CaseResult {
    QString name;
    double medianMs = 0;
    double p95Ms = 0;
    std::optional<double> ratio; // ours / raw, where the case has a raw baseline
    std::optional<double> perSecond; // throughput cases
    std::optional<double> roundTrips; // statements sent per operation (server)
    QString note; // shown in the table only
};

// Median and 95th percentile (nearest rank) of the samples; zeros when empty.
double median(std::vector<double> samples);
double percentile95(std::vector<double> samples);

// Runs work repeats times (after warmup unmeasured runs) and returns each run's milliseconds.
std::vector<double> timeRuns(int repeats, const std::function<void()> &work, int warmup = 1);

// Ours against the raw baseline: the ratio compares the medians.
CaseResult compare(const QString &name, const std::vector<double> &ours, const std::vector<double> &raw);
CaseResult alone(const QString &name, const std::vector<double> &ours);

// "bench <case> median_ms=<x> p95_ms=<y>[ ratio=<r>][ per_s=<n>][ round_trips=<n>]"
QString resultLine(const CaseResult &result);
// The readable table of every result.
QString resultTable(const std::vector<CaseResult> &results);
