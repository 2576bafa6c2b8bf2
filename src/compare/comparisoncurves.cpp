#include "compare/comparisoncurves.h"

#include "core/channels.h"
#include "core/currentmeasurement.h"
#include "quality/readingcaveats.h"
#include "quality/verdicts.h"

namespace orlu {

ComparisonRecord comparisonRecordOf(const CurrentMeasurement &current) {
    ComparisonRecord rec;
    rec.subjectNumber = current.subject.number;
    rec.subjectName = current.subject.name;
    rec.measuredAt = current.measuredAt;
    rec.highPotential = current.highPotential;
    rec.corrected = current.corrected;
    rec.average = measuredMean(current.values).value_or(0.0);
    rec.quality = current.quality;
    return rec;
}

namespace {

std::array<bool, 24> doubtfulPoints(const MeasurementQuality &quality) {
    std::array<bool, 24> doubtful{};
    for (int c = 1; c <= ChannelCount; ++c)
        doubtful[static_cast<std::size_t>(c - 1)] = isDoubtful(quality, c);
    return doubtful;
}

ComparisonCurve curveOf(const ComparisonRecord &record, int k, int legendSlot) {
    ComparisonCurve curve;
    curve.corrected = record.corrected;
    curve.doubtful = doubtfulPoints(record.quality);
    curve.energyLevel = record.average;
    curve.style = twoRecordStyle(k);
    curve.number = k;
    curve.legendSlot = legendSlot;
    return curve;
}

} // namespace

ComparisonChart twoRecordChart(const ComparisonRecord &original,
                               const std::optional<ComparisonRecord> &comparison, BandChoice band,
                               ChartMedium medium) {
    // On screen the two legends stand side by side; on paper the second one further right.
    const bool paper = medium == ChartMedium::Paper;
    ComparisonChart chart;
    chart.curves.append(curveOf(original, 1, 3));
    if (comparison)
        chart.curves.append(curveOf(*comparison, 2, paper ? 6 : 4));
    if (band == BandChoice::Original)
        chart.band = 0;
    else if (band == BandChoice::Comparison && comparison)
        chart.band = 1;
    return chart;
}

ComparisonChart multiRecordChart(const QList<ComparisonEntry> &entries, std::optional<int> selected) {
    ComparisonChart chart;
    for (qsizetype i = 0; i < entries.size() && i < ComparisonSet::Capacity; ++i) {
        const int k = static_cast<int>(i) + 1;
        ComparisonCurve curve;
        curve.corrected = entries[i].corrected;
        curve.doubtful = doubtfulPoints(entries[i].quality);
        curve.energyLevel = entries[i].energyLevel;
        curve.style = multiRecordStyle(k);
        curve.number = k;
        curve.legendSlot = k;
        chart.curves.append(curve);
    }
    if (selected && *selected >= 0 && *selected < chart.curves.size())
        chart.band = selected;
    return chart;
}

ComparisonPrintout multiRecordPrintout(const QList<ComparisonEntry> &entries, std::optional<int> selected) {
    ComparisonPrintout p;
    p.kind = ComparisonKind::MultiRecord;
    for (const ComparisonEntry &e : entries)
        p.records.append({e.subjectNumber, e.subjectName, e.energyLevel, e.highPotential, e.measuredAt,
                          caveatsOf(e.corrected, e.quality).text()});
    p.chart = multiRecordChart(entries, selected);
    return p;
}

} // namespace orlu
