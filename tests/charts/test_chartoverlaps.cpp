// Nothing drawn covers a text, whatever the values: the comparison chart and the
// trend at the smallest and the largest values they show.
#include "trend/trendseries.h"
#include "trend/trendchart.h"
#include "compare/comparisoncurves.h"
#include "core/channels.h"
#include "support/overlaps.h"

#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

void addExtremes() {
    QTest::addColumn<double>("value");
    QTest::newRow("smallest") << 0.0;
    QTest::newRow("small") << 4.0;
    QTest::newRow("largest") << 180.0;
}

} // namespace

class TestChartOverlaps : public QObject {
    Q_OBJECT
private slots:
    void comparisonChart_data() { addExtremes(); }
    void comparisonChart() {
        QFETCH(double, value);
        QList<ComparisonEntry> entries;
        for (int k = 0; k < 6; ++k) {
            ComparisonEntry e;
            e.corrected.fill(value);
            e.energyLevel = value;
            entries << e;
        }
        RecordingSurface rec;
        drawComparisonChart(rec, ComparisonFrame::screen(MultiRecordChartWidth, ComparisonChartHeight),
                            multiRecordChart(entries, std::nullopt));
        QCOMPARE(test::coveredTexts(rec).join(u" | "_s), QString());
    }

    void trendChart_data() { addExtremes(); }
    void trendChart() {
        QFETCH(double, value);
        TrendSeries series;
        series.subjectNumber = u"A001"_s;
        std::array<double, 24> plain{};
        for (int c = 1; c <= ChannelCount; ++c)
            plain[static_cast<std::size_t>(c - 1)] = (c % 2 ? value : value / 3) / correctionFactor(c);
        for (int i = 0; i < 12; ++i)
            series.visits << trendVisitOf(100 + i, 46000 + 7 * i, i % 3 == 0, plain, true);
        RecordingSurface rec;
        drawTrendChart(rec, series, QRect(QPoint(0, 0), TrendChartSize));
        QCOMPARE(test::coveredTexts(rec).join(u" | "_s), QString());
    }
};

QTEST_MAIN(TestChartOverlaps)
#include "test_chartoverlaps.moc"
